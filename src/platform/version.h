// The product's name and version, as the version resource and the manifest of Marlo.exe give them.
#pragma once

#define MARLO_PRODUCT "Marlo"
#define MARLO_VERSION_NUMBERS 1, 2, 0, 0
#define MARLO_VERSION_TEXT "1.2.0.0"
