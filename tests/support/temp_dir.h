#pragma once

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A temporary folder that a test fails loudly without.
class CTestDir {
public:
    CTestDir() { EXPECT_TRUE(m_dir.isValid()) << "cannot create a temporary folder"; }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
