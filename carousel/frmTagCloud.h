#pragma once
// The floating tag-cloud window. So far only the category choice that the
// library resets when a library opens.
#include <QString>

// The category TagIDs the cloud shows, "(3,7)"; empty for all categories.
extern QString gTagCloudCategories;
