#pragma once
#include "toolkit/ComCtrls.h"

// Adds the tree's two 16 x 16 images on white: 0 a yellow folder
// (category nodes), 1 a green book (project nodes).
void AddPlannerIcons(TImageList& images);
