// The process table of a simulated machine: one file, "processes", with a slot per running
// program. A process owns a slot while it holds the write lock on the slot's byte at the start of
// the file (an open-file-description lock, so it lasts exactly as long as the process keeps the
// file open and ends with the process however it ends); the slot's record further on holds its
// process id and image name. Nothing is created or removed per process, and an ended process
// needs no clean-up: its slot is simply unlocked.
#include "qv/sim/process_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "qv/sim/file_kind.h"
#include "qv/sim/little_endian.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {
namespace {

constexpr const char* kTableFileName = "processes";
constexpr off_t kSlots = 64;
constexpr off_t kRecordsStart = 4096;  // slot i's lock byte is byte i; its record follows here
constexpr off_t kRecordSize = 1024;
constexpr size_t kRecordHeader = 8;  // process id and name length, both little-endian
constexpr size_t kMaxImageName = static_cast<size_t>(kRecordSize) - kRecordHeader;

struct OwnSlot {
    int fd = -1;
    pid_t pid = 0;
    std::string table;
    off_t slot = 0;
    std::string imageName;
} g_own;

std::string TablePath() {
    return (MachineDir() / kTableFileName).string();
}

// The record of a slot; false when it cannot be read. Its name is cut to the record.
bool ReadRecord(int fd, off_t slot, MachineProcess* process) {
    unsigned char record[kRecordSize];
    const ssize_t n = pread(fd, record, sizeof record, kRecordsStart + slot * kRecordSize);
    if (n < static_cast<ssize_t>(kRecordHeader)) return false;
    process->pid = Get32(record);
    const size_t length = std::min(
        {static_cast<size_t>(Get32(record + 4)), kMaxImageName, static_cast<size_t>(n) - kRecordHeader});
    process->imageName.assign(reinterpret_cast<const char*>(record + kRecordHeader), length);
    return process->pid != 0;
}

// Calls visit(slot) for each slot that a live process holds, other than the caller's own.
template <typename Visit>
void ForEachHeldSlot(int fd, Visit visit) {
    for (off_t from = 0; from < kSlots;) {
        struct flock probe = LockOf(F_WRLCK, from, kSlots - from);
        if (fcntl(fd, F_OFD_GETLK, &probe) != 0 || probe.l_type == F_UNLCK) return;
        const off_t end = probe.l_len == 0 ? kSlots : probe.l_start + probe.l_len;
        for (off_t slot = std::max(probe.l_start, from); slot < std::min(end, kSlots); ++slot) visit(slot);
        from = std::max(end, from + 1);
    }
}

bool OwnSlotIn(const std::string& table) {
    return g_own.fd >= 0 && g_own.pid == getpid() && g_own.table == table;
}

}  // namespace

std::string WindowsImageName(std::string_view executableBaseName) {
    constexpr std::string_view kExe = ".exe";
    std::string name(executableBaseName);
    if (name.size() < kExe.size() ||
        !EqualsIgnoreCase(std::string_view(name).substr(name.size() - kExe.size()), kExe))
        name += kExe;
    return name;
}

bool RegisterProcess(std::string_view imageName, std::string* error) {
    UnregisterProcess();
    if (!MarkMachineDir(MachineDir(), error)) return false;
    const std::string table = TablePath();
    const int fd = OpenRegularFile(table.c_str(), O_RDWR | O_CREAT);
    if (fd < 0) {
        *error = "cannot open the process table " + table + ": " + std::strerror(errno);
        return false;
    }
    for (off_t slot = 0; slot < kSlots; ++slot) {
        struct flock lock = LockOf(F_WRLCK, slot, 1);
        if (fcntl(fd, F_OFD_SETLK, &lock) != 0) continue;
        unsigned char record[kRecordSize] = {};
        const size_t length = std::min(imageName.size(), kMaxImageName);
        Put32(record, static_cast<uint32_t>(getpid()));
        Put32(record + 4, static_cast<uint32_t>(length));
        std::memcpy(record + kRecordHeader, imageName.data(), length);
        const size_t size = kRecordHeader + length;
        if (pwrite(fd, record, size, kRecordsStart + slot * kRecordSize) != static_cast<ssize_t>(size)) {
            *error = "cannot write the process table " + table + ": " + std::strerror(errno);
            close(fd);
            return false;
        }
        g_own = {fd, getpid(), table, slot, std::string(imageName.substr(0, length))};
        return true;
    }
    close(fd);
    *error = "the process table " + table + " is full";
    return false;
}

void UnregisterProcess() {
    if (g_own.fd < 0) return;
    // A forked child shares its parent's open file and so its lock: it only lets go of its copy.
    if (g_own.pid == getpid()) {
        struct flock unlock = LockOf(F_UNLCK, g_own.slot, 1);
        fcntl(g_own.fd, F_OFD_SETLK, &unlock);
    }
    close(g_own.fd);
    g_own = OwnSlot{};
}

std::vector<MachineProcess> ListMachineProcesses() {
    std::vector<MachineProcess> processes;
    const std::string table = TablePath();
    if (OwnSlotIn(table)) processes.push_back({static_cast<uint32_t>(getpid()), g_own.imageName});
    // A description of its own: the caller's lock does not hide its slot from itself, and no
    // other slot is hidden by it.
    const int fd = OpenRegularFile(table.c_str(), O_RDONLY);
    if (fd < 0) return processes;
    ForEachHeldSlot(fd, [&](off_t slot) {
        if (OwnSlotIn(table) && slot == g_own.slot) return;
        MachineProcess process{};
        if (ReadRecord(fd, slot, &process)) processes.push_back(std::move(process));
    });
    close(fd);
    return processes;
}

std::optional<std::string> RegisteredImageName(uint32_t pid) {
    for (auto& process : ListMachineProcesses()) {
        if (process.pid == pid) return std::move(process.imageName);
    }
    return std::nullopt;
}

}  // namespace qv::sim
