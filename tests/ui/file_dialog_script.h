#pragma once

#include "framework/widgets/file_dialogs.h"

#include <deque>
#include <vector>

// Answers the file dialogs from a script while it lives and records what was
// asked; an empty script answers as a cancelled dialog.
class CFileDialogScript {
public:
    CFileDialogScript()
        : m_previous(SetFileDialogHandler([this](const FileDialogRequest& request) {
              m_requests.push_back(request);
              if (m_answers.empty())
                  return QStringList();
              QStringList answer = m_answers.front();
              m_answers.pop_front();
              return answer;
          }))
    {
    }
    ~CFileDialogScript() { SetFileDialogHandler(std::move(m_previous)); }
    CFileDialogScript(const CFileDialogScript&) = delete;
    CFileDialogScript& operator=(const CFileDialogScript&) = delete;

    void QueueAnswer(const QStringList& paths) { m_answers.push_back(paths); }
    const std::vector<FileDialogRequest>& Requests() const { return m_requests; }

private:
    FileDialogHandler m_previous;
    std::deque<QStringList> m_answers;
    std::vector<FileDialogRequest> m_requests;
};
