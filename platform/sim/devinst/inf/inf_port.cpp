// The INF-file port on the simulated host: INF files of the machine's Windows directory read with
// InfDocument, open INFs kept in the handle table.
#include <memory>

#include "files/windows_paths.h"
#include "qv/platform/inf.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/inf/inf_document.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/text_out.h"

namespace qv {
namespace {

using sim::inf::InfDocument;

struct OpenInf : sim::HandleObject {
    static constexpr sim::HandleKind kKind = sim::HandleKind::kInfFile;
    explicit OpenInf(InfDocument d) : document(std::move(d)) {}
    InfDocument document;
};

// Setup classes the simulated host knows by name and GUID, for INFs that give only one of them.
struct KnownClass {
    std::u16string_view name;
    std::u16string_view guid;
};
constexpr KnownClass kKnownClasses[] = {
    {u"Net", kGuidDevClassNetText},
    {u"NetTrans", kGuidDevClassNetTransText},
    {u"NetClient", u"{4D36E973-E325-11CE-BFC1-08002BE10318}"},
    {u"NetService", u"{4D36E974-E325-11CE-BFC1-08002BE10318}"},
    {u"System", kGuidDevClassSystemText},
};

std::optional<std::u16string_view> ClassNameOf(std::u16string_view guid) {
    for (const auto& known : kKnownClasses) {
        if (sim::EqualsIgnoreCase(known.guid, guid)) return known.name;
    }
    return std::nullopt;
}

std::optional<std::u16string_view> ClassGuidOf(std::u16string_view name) {
    for (const auto& known : kKnownClasses) {
        if (sim::EqualsIgnoreCase(known.name, name)) return known.guid;
    }
    return std::nullopt;
}

// The setup class an INF declares: [Version] Class, else the name of its ClassGUID.
std::optional<std::u16string> InfClassName(const InfDocument& document) {
    if (auto name = document.Value(u"Version", u"Class")) return name;
    if (const auto guid = document.Value(u"Version", u"ClassGUID"))
        if (const auto name = ClassNameOf(*guid)) return std::u16string(*name);
    return std::nullopt;
}

bool HasWin4Signature(const InfDocument& document) {
    const auto signature = document.Value(u"Version", u"Signature");
    return signature && (sim::EqualsIgnoreCase(*signature, u"$Windows NT$") ||
                         sim::EqualsIgnoreCase(*signature, u"$Chicago$"));
}

// A name without a folder is looked for in the Windows directory's Inf folder.
std::u16string InfPath(std::u16string_view fileName) {
    if (fileName.find_first_of(u"\\/:") != std::u16string_view::npos) return std::u16string(fileName);
    return u"Inf\\" + std::u16string(fileName);
}

// The document of the INF at fileName; the last error (and *errorLine for syntax errors) on failure.
std::optional<InfDocument> LoadInf(const char16_t* fileName, uint32_t* errorLine) {
    if (fileName == nullptr || *fileName == u'\0') return sim::FailWith(kErrorInvalidParameter, std::nullopt);
    const auto host = sim::winpath::HostPath(InfPath(fileName));
    if (!host) return sim::FailWith(kErrorPathNotFound, std::nullopt);
    sim::inf::InfError error;
    auto document = InfDocument::Load(*host, &error);
    if (!document) {
        SetLastError(error.code);
        if (errorLine != nullptr && error.line != 0) *errorLine = error.line;
    }
    return document;
}

InfDocument* Document(HInf inf) {
    auto* open = sim::FindOrFail<OpenInf>(inf);
    return open == nullptr ? nullptr : &open->document;
}

// The document of a context and whether its section and line are real.
InfDocument* ContextDocument(const InfContext* context) {
    if (context == nullptr) return sim::FailWith(kErrorInvalidParameter, nullptr);
    InfDocument* document = Document(static_cast<HInf>(context->currentInf));
    if (document == nullptr) return nullptr;
    if (context->section >= document->SectionCount() ||
        context->line >= document->LineCount(context->section))
        return sim::FailWith(kErrorInvalidParameter, nullptr);
    return document;
}

}  // namespace

namespace inf {

HInf OpenInfFile(const char16_t* fileName, const char16_t* infClass, uint32_t infStyle, uint32_t* errorLine) {
    auto document = LoadInf(fileName, errorLine);
    if (!document) return kInvalidInf;
    // Only an INF_STYLE_WIN4 request without INF_STYLE_OLDNT insists on a Windows 4 signature.
    if ((infStyle & (kInfStyleWin4 | kInfStyleOldNt)) == kInfStyleWin4 && !HasWin4Signature(*document))
        return sim::FailWith(kErrorWrongInfStyle, kInvalidInf);
    if (infClass != nullptr) {
        const auto declared = InfClassName(*document);
        if (!declared || !sim::EqualsIgnoreCase(*declared, infClass))
            return sim::FailWith(kErrorClassMismatch, kInvalidInf);
    }
    HInf inf = sim::NewHandle<OpenInf, HInf>(std::make_unique<OpenInf>(std::move(*document)));
    if (inf == nullptr) return sim::FailWith(kErrorNotEnoughMemory, kInvalidInf);
    return sim::Succeed(inf);
}

void CloseInfFile(HInf inf) {
    sim::Close<OpenInf>(inf);
}

bool FindFirstLine(HInf inf, const char16_t* section, const char16_t* key, InfContext* context) {
    const InfDocument* document = Document(inf);
    if (document == nullptr) return false;
    if (section == nullptr || context == nullptr) return sim::FailWith(kErrorInvalidParameter);
    const auto s = document->FindSection(section);
    if (!s) return sim::FailWith(kErrorLineNotFound);
    std::optional<uint32_t> line;
    if (key != nullptr) {
        line = document->FindLine(*s, key);
    } else if (document->LineCount(*s) > 0) {
        line = 0;
    }
    if (!line) return sim::FailWith(kErrorLineNotFound);
    *context = {inf, inf, *s, *line};
    return sim::Succeed();
}

bool FindNextLine(const InfContext* in, InfContext* out) {
    const InfDocument* document = ContextDocument(in);
    if (document == nullptr) return false;
    if (out == nullptr) return sim::FailWith(kErrorInvalidParameter);
    if (in->line + 1 >= document->LineCount(in->section)) return sim::FailWith(kErrorLineNotFound);
    *out = *in;
    ++out->line;
    return sim::Succeed();
}

bool GetStringField(const InfContext* context, uint32_t fieldIndex, char16_t* buffer, uint32_t bufferSize,
                    uint32_t* requiredSize) {
    const InfDocument* document = ContextDocument(context);
    if (document == nullptr) return false;
    if (!document->RawField(context->section, context->line, fieldIndex))
        return sim::FailWith(kErrorInvalidParameter);
    const auto text = document->Field(context->section, context->line, fieldIndex);
    if (!text) return sim::FailWith(kErrorInvalidData);  // longer than an INF string may be
    if (requiredSize != nullptr) *requiredSize = sim::NeededSize(*text);
    if (buffer != nullptr && !sim::CopyText(*text, buffer, bufferSize))
        return sim::FailWith(kErrorInsufficientBuffer);
    return sim::Succeed();
}

bool GetInfClass(const char16_t* infName, Guid* classGuid, char16_t* className, uint32_t classNameSize,
                 uint32_t* requiredSize) {
    if (classGuid == nullptr) return sim::FailWith(kErrorInvalidParameter);
    const auto document = LoadInf(infName, nullptr);
    if (!document) return false;
    if (!HasWin4Signature(*document)) return sim::FailWith(kErrorWrongInfStyle);
    const auto name = InfClassName(*document);
    auto guidText = document->Value(u"Version", u"ClassGUID");
    if (name && !guidText)
        if (const auto known = ClassGuidOf(*name)) guidText = std::u16string(*known);
    if (!name && !guidText) return sim::FailWith(kErrorNoAssociatedClass);
    Guid guid{};
    if (guidText && !GuidFromString(*guidText, &guid)) return sim::FailWith(kErrorInvalidClass);
    const std::u16string shown = name.value_or(u"");
    if (requiredSize != nullptr) *requiredSize = sim::NeededSize(shown);
    if (!sim::CopyText(shown, className, classNameSize)) return sim::FailWith(kErrorInsufficientBuffer);
    *classGuid = guid;
    return sim::Succeed();
}

}  // namespace inf
}  // namespace qv
