// Entry point of QvTeamCmd: takes the arguments as UTF-16 and returns the run's 32-bit status.
#include <string>
#include <vector>

int main() {
    return 0;
}
