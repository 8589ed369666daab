#pragma once

#include "framework/message_box.h"

#include <QStringList>

#include <deque>

// Records every message shown while it lives and answers questions from a
// script (win::kIdYes, win::kIdNo ...), win::kIdOk when the script is empty.
class CMessageRecorder {
public:
    CMessageRecorder();
    ~CMessageRecorder();
    CMessageRecorder(const CMessageRecorder&) = delete;
    CMessageRecorder& operator=(const CMessageRecorder&) = delete;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    const QStringList& Texts() const { return m_texts; }
    const std::vector<MessageRequest>& Requests() const { return m_requests; }
    void Clear();

private:
    MessageHandler m_previous;
    QStringList m_texts;
    std::vector<MessageRequest> m_requests;
    std::deque<int> m_answers;
};
