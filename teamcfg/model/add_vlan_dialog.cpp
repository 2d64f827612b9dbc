// The Add Vlan dialog: the id and name of a new VLAN, checked against the page's VLAN area.
#include <algorithm>
#include <cstring>

#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/text.h"

namespace qv::cfg {
namespace {

constexpr int kIdCapacity = 30;     // up to 29 characters
constexpr int kNameCapacity = 100;  // up to 99 characters
constexpr int64_t kMaxVlanId = 4095;

bool HasUntagged(const VlanList& vlans) {
    for (int i = 0; i < vlans.count && i < kMaxVlans; ++i)
        if (vlans.ids[i] == 0) return true;
    return false;
}

// A decimal number with an optional sign, read up to the first other character; values beyond
// the VLAN range are held at one past it, so they cannot wrap into the range.
int64_t ParseId(std::u16string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - u'0'), kMaxVlanId + 1);
    return negative ? -value : value;
}

bool IsSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

}  // namespace

int AddVlanDialog::OnInitDialog(DialogView& view) {
    view.SetText(kIdVlanName, u"Vlan #");
    // An untagged VLAN can only join tagged ones, and only one of it.
    view.EnableControl(kIdUntaggedVlan, vlans_.count != 0 && !HasUntagged(vlans_));
    return 1;
}

void AddVlanDialog::OnCommand(DialogView& view, int controlId, int code) {
    if (code != kBnClicked) return;
    switch (controlId) {
        case kIdUntaggedVlan: {
            const bool untagged = view.IsChecked(kIdUntaggedVlan);
            view.SetText(kIdVlanId, untagged ? u"0" : u"");
            view.SetText(kIdVlanName, untagged ? u"Untagged" : u"Vlan #");
            view.EnableControl(kIdVlanId, !untagged);
            return;
        }
        case kIdOk:
            Accept(view);
            return;
        case kIdCancel:
            view.EndDialog(kIdCancel);
            return;
        default:
            return;
    }
}

void AddVlanDialog::Accept(DialogView& view) {
    const std::u16string idText = view.GetText(kIdVlanId, kIdCapacity);
    const std::u16string name = view.GetText(kIdVlanName, kNameCapacity);
    if (idText.empty() || name.empty()) {
        view.EndDialog(kIdCancel);
        return;
    }
    const int64_t id = ParseId(idText);
    const int count = vlans_.count < kMaxVlans ? vlans_.count : kMaxVlans;
    const auto refuse = [&](const char16_t* text) {
        shell_.MessageBox(text, u"Error", kMbOk | kMbIconWarning);
    };
    for (int i = 0; i < count; ++i) {
        if (vlans_.ids[i] == id || U16EqualNoCase(vlans_.names[i], name)) {
            refuse(u"This Vlan ID or Vlan Name is already being used");
            return;
        }
    }
    if (id > kMaxVlanId || id < 0 || (id == 0 && !view.IsChecked(kIdUntaggedVlan))) {
        refuse(u"Vlan ID should be in 1-4095 range");
        return;
    }
    if (IsSpace(name[0])) {
        refuse(u"Vlan Name should not be blank");
        return;
    }
    if (vlans_.count >= kMaxVlans) {
        refuse(u"Number of Vlans has exceeded limit of 64 vlans. Try deleting some vlans");
        view.EndDialog(kIdCancel);
        return;
    }
    const int index = vlans_.count;
    vlans_.ids[index] = static_cast<uint16_t>(id);
    U16CopyInto(vlans_.names[index], kVlanNameCapacity, name);
    vlans_.guids[index] = Guid{};
    vlans_.connectionNames[index][0] = u'\0';
    ++vlans_.count;
    view.EndDialog(kIdOk);
}

}  // namespace qv::cfg
