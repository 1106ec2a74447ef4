#include "tray/RegistryRoutines.h"

#include "platform/Prompter.h"

namespace ringtally {

RegistryRoutines::RegistryRoutines(Registry& registry, Prompter& prompter)
    : registry_(registry), prompter_(prompter)
{
}

void RegistryRoutines::showError(const QString& what, RegistryCode code)
{
    prompter_.ask(Prompt { QStringLiteral("Ringtally"), what + QString::number(static_cast<int>(code)),
        PromptIcon::None, PromptButtons::Ok });
}

void RegistryRoutines::CreateNewKey(const QString& keyPath, RootKey rootKey)
{
    RegistryKey handle = 0;
    if (registry_.createKey(rootKey, keyPath, handle) == RegistryCode::Success)
        registry_.closeKey(handle);
}

void RegistryRoutines::SetKeyValue(
    const QString& keyPath, const QString& valueName, const RegistryText& value, RootKey rootKey)
{
    RegistryKey handle = 0;
    const RegistryCode opened = registry_.openKey(rootKey, keyPath, Registry::Access::Write, handle);
    if (opened != RegistryCode::Success)
        showError(QStringLiteral("RegOpenKey error - "), opened);
    // With no key open the handle is 0, which the store refuses: a second box tells that too.
    const RegistryCode set = SetValueEx(handle, valueName, REG_SZ, value);
    if (set != RegistryCode::Success)
        showError(QStringLiteral("SetValue error - "), set);
    if (handle != 0)
        registry_.closeKey(handle);
}

RegistryCode RegistryRoutines::SetValueEx(
    RegistryKey handle, const QString& valueName, int type, const RegistryText& value)
{
    return registry_.setValue(handle, valueName, type, value.text());
}

QString RegistryRoutines::QueryValue(const QString& keyPath, const QString& valueName, RootKey rootKey)
{
    RegistryKey handle = 0;
    if (registry_.openKey(rootKey, keyPath, Registry::Access::Read, handle) != RegistryCode::Success)
        return QString();
    QString value;
    if (QueryValueEx(handle, valueName, value) != RegistryCode::Success)
        value.clear();
    registry_.closeKey(handle);
    return value;
}

RegistryCode RegistryRoutines::QueryValueEx(RegistryKey handle, const QString& valueName, QString& value)
{
    return registry_.queryValue(handle, valueName, value);
}

} // namespace ringtally
