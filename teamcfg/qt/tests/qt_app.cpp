#include "qt_app.h"

namespace qv::cfg::qt::testing {

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "teamcfg_qt_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace qv::cfg::qt::testing
