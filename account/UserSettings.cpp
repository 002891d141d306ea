#include "account/UserSettings.h"

#include "platform/ProfileFile.h"

namespace account {

using platform::ProfileFile;

UserSettings::UserSettings(QString path)
    : m_path(std::move(path))
{
}

QString UserSettings::logOut() const
{
    return ProfileFile::read(m_path, QStringLiteral("LogOut"), QStringLiteral("LogOut"));
}

void UserSettings::setLogOut(const QString& value)
{
    ProfileFile::write(m_path, QStringLiteral("LogOut"), QStringLiteral("LogOut"), value);
}

QString UserSettings::tipCheck() const
{
    return ProfileFile::read(m_path, QStringLiteral("SystemSet"), QStringLiteral("TipCheck"));
}

void UserSettings::setTipCheck(const QString& value)
{
    ProfileFile::write(m_path, QStringLiteral("SystemSet"), QStringLiteral("TipCheck"), value);
}

QString UserSettings::cancelRemind() const
{
    return ProfileFile::read(m_path, QStringLiteral("SystemSet"), QStringLiteral("CancelRemind"));
}

void UserSettings::setCancelRemind(const QString& value)
{
    ProfileFile::write(m_path, QStringLiteral("SystemSet"), QStringLiteral("CancelRemind"), value);
}

QString UserSettings::pushId(const QString& phone) const
{
    return ProfileFile::read(m_path, phone + QStringLiteral("PushID"), QStringLiteral("PushID"));
}

void UserSettings::setPushId(const QString& phone, const QString& id)
{
    ProfileFile::write(m_path, phone + QStringLiteral("PushID"), QStringLiteral("PushID"), id);
}

void UserSettings::setMip(const QString& value)
{
    ProfileFile::write(m_path, QStringLiteral("MIP"), QStringLiteral("mip"), value);
}

} // namespace account
