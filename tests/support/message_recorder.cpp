#include "support/message_recorder.h"

CMessageRecorder::CMessageRecorder()
{
    m_previous = SetMessageHandler([this](const MessageRequest& request) {
        m_texts.append(request.text);
        m_requests.push_back(request);
        if (m_answers.empty())
            return static_cast<int>(win::kIdOk);
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

CMessageRecorder::~CMessageRecorder()
{
    SetMessageHandler(std::move(m_previous));
}

void CMessageRecorder::Clear()
{
    m_texts.clear();
    m_requests.clear();
}
