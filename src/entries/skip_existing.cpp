#include "entries/skip_existing.h"

#include <QCheckBox>

#include "entries/entry_services.h"

namespace entries {

QCheckBox* MakeSkipExistingBox(QWidget* parent) {
    auto* box = new QCheckBox(QStringLiteral("&Skip entries that are already in the book"), parent);
    box->setObjectName(QStringLiteral("SkipExisting"));
    box->setToolTip(
        QStringLiteral("Leaves out every contact with the name, an e-mail address, a phone number "
                       "or the UID of an entry of the book"));
    box->setChecked(false);
    return box;
}

bool RememberedSkipExisting(const platform::IProfile& profile) {
    return ReadSetting(profile, settings::kRememberImp) != 0 &&
           ReadSetting(profile, settings::kSkipExisting) != 0;
}

void RememberSkipExisting(platform::IProfile& profile, bool skip) {
    if (ReadSetting(profile, settings::kRememberImp) != 0) {
        WriteSetting(profile, settings::kSkipExisting, skip ? 1 : 0);
    }
}

}  // namespace entries
