// Placeholder until the property pages land: no sheet opens yet.
#include "qv/teamcfg/property_sheet.h"

namespace qv::cfg {

void ShowPropertiesPage(AppState&, Shell&, DialogView&) {}

}  // namespace qv::cfg
