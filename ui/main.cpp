#include "CTreklineApp.h"

wxIMPLEMENT_APP(CTreklineApp);
