// The QApplication of a Qt suite, made once on the test thread (the offscreen platform, from the
// suite's environment), and what the suites share to drive the view.
#pragma once

#include <QApplication>
#include <QString>
#include <string>

namespace qv::cfg::qt::testing {

QApplication& TestApp();

inline std::u16string U16(const QString& text) {
    return text.toStdU16String();
}

}  // namespace qv::cfg::qt::testing
