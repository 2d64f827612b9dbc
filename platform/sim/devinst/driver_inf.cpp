// Reading the drivers an INF file offers, through the INF port.
#include "driver_inf.h"

#include <cstdio>
#include <optional>
#include <string>

#include "qv/platform/inf.h"
#include "qv/platform/utf.h"
#include "qv/sim/reg_key.h"

namespace qv::sim {
namespace {

constexpr uint32_t kFieldCapacity = 512;
constexpr uint32_t kMaxFields = 64;
constexpr size_t kMaxLines = 4096;

std::optional<std::u16string> Field(const InfContext& line, uint32_t index) {
    char16_t buffer[kFieldCapacity];
    if (!inf::GetStringField(&line, index, buffer, kFieldCapacity, nullptr)) return std::nullopt;
    return std::u16string(buffer);
}

// Fields 1.. of a line, up to the first that cannot be read.
std::vector<std::u16string> Fields(const InfContext& line, uint32_t first) {
    std::vector<std::u16string> fields;
    for (uint32_t i = first; i < kMaxFields; ++i) {
        auto field = Field(line, i);
        if (!field) break;
        fields.push_back(std::move(*field));
    }
    return fields;
}

// Every line of a section, in order (bounded, so that no file can make it run on).
template <typename Visit>
void ForEachLine(HInf inf, std::u16string_view section, Visit visit) {
    const std::u16string name(section);
    InfContext line;
    if (!inf::FindFirstLine(inf, name.c_str(), nullptr, &line)) return;
    for (size_t n = 0; n < kMaxLines; ++n) {
        visit(line);
        InfContext next;
        if (!inf::FindNextLine(&line, &next)) return;
        line = next;
    }
}

std::u16string FirstField(HInf inf, const char16_t* section, const char16_t* key) {
    InfContext line;
    if (!inf::FindFirstLine(inf, section, key, &line)) return {};
    return Field(line, 1).value_or(u"");
}

// The models section of a [Manufacturer] line: the x86 decoration's when the line names it and it
// exists, else the plain one.
std::u16string ModelsSection(HInf inf, const std::vector<std::u16string>& fields) {
    for (size_t i = 1; i < fields.size(); ++i) {
        if (!EqualsIgnoreCase(fields[i], u"NTx86") && !EqualsIgnoreCase(fields[i], u"NT")) continue;
        const std::u16string decorated = fields[0] + u'.' + fields[i];
        InfContext first;
        if (inf::FindFirstLine(inf, decorated.c_str(), nullptr, &first)) return decorated;
    }
    return fields.empty() ? std::u16string() : fields[0];
}

std::optional<uint32_t> ParseNumber(const std::u16string& text) {
    const std::string ascii = ToUtf8(text);
    char* end = nullptr;
    const unsigned long value = std::strtoul(ascii.c_str(), &end, 0);
    if (end == ascii.c_str() || value > 0xFFFFFFFFul) return std::nullopt;
    return static_cast<uint32_t>(value);
}

// What the install section says of the driver: Characteristics, and the service that its AddReg
// sections give as "HKR, Ndi, Service, 0, name".
void ReadInstallSection(HInf inf, DriverEntry* driver) {
    const std::u16string& section = driver->installSection;
    if (const auto text = FirstField(inf, section.c_str(), u"Characteristics"); !text.empty())
        driver->characteristics = ParseNumber(text);
    InfContext addReg;
    if (!inf::FindFirstLine(inf, section.c_str(), u"AddReg", &addReg)) return;
    for (const auto& regSection : Fields(addReg, 1)) {
        ForEachLine(inf, regSection, [&](const InfContext& line) {
            const auto fields = Fields(line, 1);  // AddReg lines have no key
            if (fields.size() >= 5 && EqualsIgnoreCase(fields[0], u"HKR") &&
                EqualsIgnoreCase(fields[1], u"Ndi") && EqualsIgnoreCase(fields[2], u"Service")) {
                driver->service = fields[4];
            }
        });
    }
}

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;  // days since 1970-01-01
}

// "MM/DD/YYYY" of a DriverVer line as a driver key stores it ("M-D-YYYY") and as a FILETIME;
// false when it is no such date.
bool ParseDriverDate(std::u16string_view text, std::u16string* registryForm, uint64_t* fileTime) {
    unsigned month = 0, day = 0, year = 0;
    char rest = 0;
    const std::string ascii = ToUtf8(std::u16string(text));
    if (std::sscanf(ascii.c_str(), "%u/%u/%u%c", &month, &day, &year, &rest) != 3) return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1601 || year > 9999) return false;
    char form[24];
    std::snprintf(form, sizeof form, "%u-%u-%u", month, day, year);
    *registryForm = ToUtf16(form);
    constexpr int64_t kDays1601To1970 = 134774;
    const int64_t days = DaysFromCivil(year, month, day) + kDays1601To1970;
    *fileTime = static_cast<uint64_t>(days) * 864000000000ull;
    return true;
}

// "a.b.c.d" as four 16-bit parts, high to low; missing parts are 0. False for anything else.
bool ParseDriverVersion(std::u16string_view text, uint64_t* packed) {
    uint64_t result = 0;
    int parts = 0;
    uint64_t part = 0;
    bool digit = false;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'.') {
            if (!digit || parts == 4) return false;
            result |= part << (48 - 16 * parts++);
            part = 0;
            digit = false;
        } else if (text[i] >= u'0' && text[i] <= u'9') {
            part = part * 10 + (text[i] - u'0');
            if (part > 0xFFFF) return false;
            digit = true;
        } else {
            return false;
        }
    }
    *packed = result;
    return true;
}

}  // namespace

std::optional<uint32_t> RankDriver(DriverEntry* driver, const std::vector<std::u16string>& hardwareIds,
                                   const std::vector<std::u16string>& compatibleIds) {
    for (size_t list = 0; list < 2; ++list) {
        const auto& ids = list == 0 ? hardwareIds : compatibleIds;
        for (size_t i = 0; i < ids.size(); ++i) {
            for (size_t m = 0; m < driver->modelIds.size(); ++m) {
                if (!EqualsIgnoreCase(ids[i], driver->modelIds[m])) continue;
                driver->hardwareId = driver->modelIds[m];
                return static_cast<uint32_t>(list * 0x2000 + (m == 0 ? 0 : 0x1000) + i);
            }
        }
    }
    return std::nullopt;
}

std::vector<DriverEntry> ReadInfDrivers(std::u16string_view infPath) {
    std::vector<DriverEntry> drivers;
    const std::u16string path(infPath);
    HInf inf = inf::OpenInfFile(path.c_str(), nullptr, kInfStyleWin4, nullptr);
    if (inf == kInvalidInf) return drivers;

    DriverEntry common;
    common.infPath = path;
    const size_t slash = path.find_last_of(u"\\/");
    common.infName = slash == std::u16string::npos ? path : path.substr(slash + 1);
    common.className = FirstField(inf, u"Version", u"Class");
    common.classGuid = FirstField(inf, u"Version", u"ClassGUID");
    common.provider = FirstField(inf, u"Version", u"Provider");
    InfContext driverVer;
    if (inf::FindFirstLine(inf, u"Version", u"DriverVer", &driverVer)) {
        ParseDriverDate(Field(driverVer, 1).value_or(u""), &common.driverDate, &common.fileTime);
        common.driverVersion = Field(driverVer, 2).value_or(u"");
        ParseDriverVersion(common.driverVersion, &common.version);
    }
    std::vector<std::u16string> excluded;
    InfContext exclude;
    if (inf::FindFirstLine(inf, u"ControlFlags", u"ExcludeFromSelect", &exclude))
        excluded = Fields(exclude, 1);

    ForEachLine(inf, u"Manufacturer", [&](const InfContext& manufacturer) {
        const auto fields = Fields(manufacturer, 1);
        const std::u16string models = ModelsSection(inf, fields);
        if (models.empty()) return;
        const std::u16string mfgName = Field(manufacturer, 0).value_or(u"");
        ForEachLine(inf, models, [&](const InfContext& model) {
            auto line = Fields(model, 0);
            if (line.size() < 3) return;
            DriverEntry driver = common;
            driver.manufacturer = mfgName;
            driver.description = line[0];
            driver.installSection = line[1];
            driver.modelIds.assign(line.begin() + 2, line.end());
            for (const auto& id : excluded) {
                if (id == u"*" || EqualsIgnoreCase(id, driver.modelIds[0])) driver.excluded = true;
            }
            ReadInstallSection(inf, &driver);
            drivers.push_back(std::move(driver));
        });
    });
    inf::CloseInfFile(inf);
    return drivers;
}

}  // namespace qv::sim
