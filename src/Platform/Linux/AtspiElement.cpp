#include "Platform/Linux/AtspiElement.h"

#include <atspi/atspi.h>

namespace quorvelle {

AtspiElement::AtspiElement(AtspiAccessible* adopted, AtspiOffsetUnit offsetUnit)
    : m_accessible(adopted), m_offsetUnit(offsetUnit) {}

AtspiElement::~AtspiElement() {
    if (m_accessible) g_object_unref(m_accessible);
}

QString AtspiElement::identityKey() const {
    // An object is named by its application's bus name and its object path.
    const AtspiObject* object = ATSPI_OBJECT(m_accessible);
    const char* busName = object->app ? object->app->bus_name : "";
    return QString::fromUtf8(busName) + QLatin1Char(':') + QString::fromUtf8(object->path);
}

AtspiStateSet* AtspiElement::states() const {
    if (!m_states) m_states.reset(atspi_accessible_get_state_set(m_accessible), &g_object_unref);
    return m_states.get();
}

int AtspiElement::role(GError** error) const {
    if (m_role) return *m_role;
    GError* failure = nullptr;
    const AtspiRole role = atspi_accessible_get_role(m_accessible, &failure);
    if (failure) {
        if (error)
            *error = failure;
        else
            g_error_free(failure);
        return role;
    }
    m_role = role;
    return role;
}

void AtspiElement::rememberStates(AtspiStateSet* adopted) {
    m_states.reset(adopted, &g_object_unref);
}

std::shared_ptr<AtspiElement> adoptAtspiElement(AtspiAccessible* adopted, AtspiOffsetUnit offsetUnit) {
    if (!adopted) return nullptr;
    return std::make_shared<AtspiElement>(adopted, offsetUnit);
}

}  // namespace quorvelle
