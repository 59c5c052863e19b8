// The application object of the shell's test program (the framework needs one).
#pragma once
#include "framework/application.h"

Application& TestApplication();
