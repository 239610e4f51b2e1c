#include "rx/arxapp.h"

AcRxDbxApp::~AcRxDbxApp() = default;

AcRxArxApp::~AcRxArxApp() = default;
