#pragma once
// The sample plan the model and planner tests start from, in the data files'
// format: two categories, a project with a done and an open task, an empty
// project, and three hourly actions.
inline constexpr const char* kSampleCategories = "Work\r\nHome\r\n";
inline constexpr const char* kSamplePlan =
    "Header^Product launch^Work^12/01/2007^12/31/2007^\r\n"
    "^True^,^Purchase Domain Name^,^bought for two years^,^12/03/2007^,^12/03/2007^\r\n"
    "^False^,^Write Web Sales Copy^,^^,^  /  /    ^,^  /  /    ^\r\n"
    "EndProject\r\n"
    "Header^Garden^Home^^^\r\n"
    "EndProject\r\n";
inline constexpr const char* kSampleHours =
    "12/13/2007^9:00 AM^Call the printer^\r\n"
    "12/13/2007^12:00 M^Lunch with suppliers^\r\n"
    "12/14/2007^3:00 PM^Send the invoices^\r\n";
