#pragma once
// How the page control and the month calendar describe themselves to the
// accessibility layer: a page tab list with one tab per sheet, and a
// calendar whose navigation buttons and day cells are its children.
#include "skin/access/vlAccess.h"

void vlRegisterWidgetsAccess();

// The long date of a day in the user's locale ("Thursday, December 10, 2026").
std::string vlLongDate(int year, int month, int day);
