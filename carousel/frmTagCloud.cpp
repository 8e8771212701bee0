#include "carousel/frmTagCloud.h"

QString gTagCloudCategories;
