#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Points the per-user data folder (XDG_DATA_HOME) at a test folder while it
// lives; programs started meanwhile inherit it.
class CDataHome {
public:
    explicit CDataHome(const QString& path) : m_saved(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", path.toLocal8Bit());
    }
    ~CDataHome()
    {
        if (m_saved.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_saved);
    }
    CDataHome(const CDataHome&) = delete;
    CDataHome& operator=(const CDataHome&) = delete;

private:
    QByteArray m_saved;
};
