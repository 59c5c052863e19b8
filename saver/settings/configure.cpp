// Placeholder until the options dialog lands.
#include "app/saver_app.h"

void SaverApp::Configure() {}
