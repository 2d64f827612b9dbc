// qvtool: diagnostics and maintenance of one n5 adapter through its virtual bus driver.
#include <cstdio>

#include "qv/qvtool/runner.h"

int main(int argc, char** argv) {
    return qv::qvtool::RunQvtool(argc, argv, stdout, stderr);
}
