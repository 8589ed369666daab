#pragma once

#include <QString>

#include <functional>

// Makes a folder read-only while the object lives (mode 0555, restored at the
// end) and runs code for which it really is read-only.
//
// Root ignores file modes, and tests often run as root in containers. Run()
// therefore runs the code on a thread of its own that has given up the
// capabilities which override file permissions (Linux capabilities belong to a
// thread, so the rest of the test program keeps them). Before the code runs,
// Run() checks that creating a file in the folder really fails; when it cannot
// arrange that, it returns false with the reason, and the test must fail on it
// rather than pass without having tested anything.
class CReadOnlyFolder {
public:
    explicit CReadOnlyFolder(QString folder);
    ~CReadOnlyFolder();
    CReadOnlyFolder(const CReadOnlyFolder&) = delete;
    CReadOnlyFolder& operator=(const CReadOnlyFolder&) = delete;

    bool Run(const std::function<void()>& code, QString* whyNot);

private:
    QString m_folder;
    bool m_changed = false;
};
