// The machine's registry as a .reg file in the "Windows Registry Editor Version 5.00" format, so
// that test fixtures, scenarios and bug reports are readable, diffable text.
//
// Export writes UTF-8 text with "\n" line ends: the header line, a blank line, then every key as
// "[HKEY_LOCAL_MACHINE\path]" followed by its values and a blank line. Keys come in enumeration
// order (parents first, subkeys sorted as the registry enumerates them), values in the order they
// were created. A REG_SZ that is a plain terminated string is written "quoted" (with \\ and \"
// escapes), a four-byte REG_DWORD as dword:xxxxxxxx, everything else as hex bytes (hex: for
// REG_BINARY, hex(N): for type N) wrapped at 80 columns with "\" continuations. Exporting and
// importing into an empty machine gives back the same keys, names, types and bytes.
//
// Import accepts UTF-8 (with or without a byte-order mark) and UTF-16LE with a byte-order mark, as
// regedit writes it. It understands "[-key]" (delete the key and its subtree), "name"=- (delete
// the value), @ for the default value and ";" comment lines. It is all or nothing: the whole file
// is checked first and applied in one transaction; on any error nothing changes and the message
// names the line ("line 12: ..."). Keys deeper than Windows allows (512 levels below
// HKEY_LOCAL_MACHINE) are refused on import and on export. An import takes at most
// kMaxRegFileSize bytes and needs memory of about twice the file's size.
#pragma once

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace qv::sim {

// The largest .reg file that an import takes: 64 MiB.
constexpr size_t kMaxRegFileSize = size_t{64} << 20;

// Reads a .reg file for ImportRegFile. Only a regular file of at most kMaxRegFileSize bytes is
// read; a FIFO, device or directory is refused without waiting on it.
bool LoadRegFile(const std::filesystem::path& path, std::string* content, std::string* error);

// Writes HKEY_LOCAL_MACHINE, or the subtree at subKey below it, to out.
bool ExportRegFile(std::ostream& out, std::string* error, std::u16string_view subKey = {});

// Applies the file's content to the selected machine's registry.
bool ImportRegFile(std::string_view content, std::string* error);

}  // namespace qv::sim
