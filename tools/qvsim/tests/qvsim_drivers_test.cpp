// qvsim newdev and qvsim miniport: the settings they write, how show reports them, and their
// usage errors.
#include <gtest/gtest.h>

#include <string>

#include "qvsim_run.h"

namespace qvsim::testing {
namespace {

// The lines of show between "Administrator:" and "Network adapters:".
std::string SettingsLines(const std::string& show) {
    const size_t start = show.find('\n', show.find("Administrator:")) + 1;
    return show.substr(start, show.find("Network adapters:") - start);
}

TEST(QvsimDrivers, SettingsShowOnlyWhenTheyDifferFromTheDefault) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "1"}).status, 0);
    EXPECT_EQ(SettingsLines(box.Run({"show"}).out), "");
    const struct {
        std::initializer_list<std::string> args;
        std::string lines;  // the settings lines of show afterwards
    } steps[] = {
        {{"newdev", "InstallSelectedDriver", "fails"}, "newdev.dll: InstallSelectedDriver fails\n"},
        {{"newdev", "DiInstallDevice", "missing"},
         "newdev.dll: DiInstallDevice missing, InstallSelectedDriver fails\n"},
        {{"newdev", "library", "missing"},
         "newdev.dll: cannot be loaded, DiInstallDevice missing, InstallSelectedDriver fails\n"},
        {{"newdev", "reboot", "restart"},
         "newdev.dll: cannot be loaded, DiInstallDevice missing, InstallSelectedDriver fails\n"
         "Reboot request: restart\n"},
        {{"miniport", "address-delay", "12000"},
         "newdev.dll: cannot be loaded, DiInstallDevice missing, InstallSelectedDriver fails\n"
         "Reboot request: restart\nMiniport address: written 12000 ms after a start\n"},
        {{"miniport", "address-delay", "never"},
         "newdev.dll: cannot be loaded, DiInstallDevice missing, InstallSelectedDriver fails\n"
         "Reboot request: restart\nMiniport address: never written\n"},
    };
    for (const auto& step : steps) {
        const Result result = box.Run(step.args);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(SettingsLines(box.Run({"show"}).out), step.lines);
    }
    for (const auto& reset : std::initializer_list<std::initializer_list<std::string>>{
             {"newdev", "library", "present"},
             {"newdev", "DiInstallDevice", "works"},
             {"newdev", "InstallSelectedDriver", "works"},
             {"newdev", "reboot", "none"},
             {"miniport", "address-delay", "0"}}) {
        ASSERT_EQ(box.Run(reset).status, 0);
    }
    EXPECT_EQ(SettingsLines(box.Run({"show"}).out), "");
}

TEST(QvsimDrivers, BadArgumentsAreUsageErrors) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "0"}).status, 0);
    for (const auto& args :
         std::initializer_list<std::initializer_list<std::string>>{{"newdev"},
                                                                   {"newdev", "DiInstallDevice"},
                                                                   {"newdev", "diinstalldevice", "works"},
                                                                   {"newdev", "DiInstallDevice", "broken"},
                                                                   {"newdev", "reboot", "later"},
                                                                   {"newdev", "library", "present", "extra"},
                                                                   {"miniport", "address-delay"},
                                                                   {"miniport", "address-delay", "-5"},
                                                                   {"miniport", "address-delay", "86400001"},
                                                                   {"miniport", "delay", "5"}}) {
        const Result result = box.Run(args);
        EXPECT_EQ(result.status, 2) << *args.begin();
        EXPECT_EQ(result.err.rfind("qvsim: ", 0), 0u) << result.err;
    }
    EXPECT_EQ(SettingsLines(box.Run({"show"}).out), "");
}

}  // namespace
}  // namespace qvsim::testing
