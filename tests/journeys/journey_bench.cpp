#include "journeys/journey_bench.h"

#include <gtest/gtest.h>


CJourneyPrinter::CJourneyPrinter(PrinterKind kind, const QString& stateDir, int printableWidth)
    : m_kind(kind), m_sim(std::make_unique<CVirtualPrinter>())
{
    m_options.listenPort = 0;
    m_options.stateDir = stateDir;
    m_options.printableWidth = printableWidth;
    // A half-sent command is given up soon: the journeys leave many behind.
    m_options.commandTimeoutMs = 2000;
    SwitchOn();
}

CJourneyPrinter::~CJourneyPrinter() { m_sim->Stop(); }

void CJourneyPrinter::SwitchOff()
{
    m_sim->Stop();
}

void CJourneyPrinter::SwitchOn()
{
    if (m_sim->IsRunning())
        return;
    // The same port again, so that the window's settings still reach it.
    m_options.listenPort = m_port;
    const SimFaults faults = m_port ? m_sim->Faults() : SimFaults{};
    m_sim = std::make_unique<CVirtualPrinter>();
    m_options.faults = faults;
    const std::optional<quint16> port = m_sim->Start(m_kind, m_options);
    EXPECT_TRUE(port) << m_sim->ErrorString().toStdString();
    m_port = port.value_or(m_port);
}

void CJourneyPrinter::MatchWidth(int printableWidth)
{
    if (printableWidth <= 0 || printableWidth == m_options.printableWidth)
        return;
    m_options.printableWidth = printableWidth;
    if (!m_sim->IsRunning())
        return;
    m_sim->Stop();
    SwitchOn();
}

int CJourneyPrinter::HangUps() const { return int(m_sim->Counters().faultHangUps); }

bool CJourneyPrinter::Settle() const
{
    // The window closes every connection when its operation ends; the
    // printer has carried out all it received once it serves none and none
    // waits in its backlog (a busy machine may not have let it take the
    // last one yet). Every accept and every end wakes the wait, so the bound
    // is only a safety net: a wait that reaches it is a fault.
    return m_sim->WaitFor([this] { return m_sim->IsIdle(); }, 10000);
}

bool CJourneyPrinter::AwaitTaken(int hangUpsBefore, qint64 bytesBefore, qint64 total) const
{
    // The printer has taken the download once it has hung up or received
    // every byte of it.
    return !m_sim->IsRunning() || m_sim->WaitFor(
                                      [this, hangUpsBefore, bytesBefore, total] {
                                          return HangUps() > hangUpsBefore
                                                 || m_sim->Counters().bytesReceived - bytesBefore >= total;
                                      },
                                      10000);
}

CJourneyMessages::CJourneyMessages()
    : m_previous(SetMessageHandler([this](const MessageRequest& request) {
          SeenMessage seen{m_step, request, win::kIdOk};
          if (request.buttons == MessageButtons::YesNo)
              seen.answer = m_answerYes ? win::kIdYes : win::kIdNo;
          m_seen.push_back(seen);
          return seen.answer;
      }))
{
}

CJourneyMessages::~CJourneyMessages() { SetMessageHandler(std::move(m_previous)); }

void CJourneyMessages::StartStep(int step, bool answerYes)
{
    m_step = step;
    m_answerYes = answerYes;
}

std::vector<SeenMessage> CJourneyMessages::StepMessages() const
{
    std::vector<SeenMessage> step;
    for (const SeenMessage& seen : m_seen)
        if (seen.step == m_step)
            step.push_back(seen);
    return step;
}

bool CJourneyMessages::AnsweredYes() const
{
    for (const SeenMessage& seen : StepMessages())
        if (IsQuestion(seen) && seen.answer == win::kIdYes)
            return true;
    return false;
}

bool CJourneyMessages::AnyQuestion() const
{
    for (const SeenMessage& seen : StepMessages())
        if (IsQuestion(seen))
            return true;
    return false;
}

const std::vector<CatalogueModel>& JourneyCatalogue()
{
    // Interface masks: 1 serial, 2 parallel, 8 Ethernet (no USB: discovery
    // would look at the machine's devices).
    static const std::vector<CatalogueModel> models{
        {QStringLiteral("TX-100"), 11, PrinterKind::Mono, 576, 20, 256},
        {QStringLiteral("TX-200"), 9, PrinterKind::TwoColor, 576, 50, 384},
        {QStringLiteral("DX-400"), 10, PrinterKind::DotMode, 400, 20, 256},
        {QStringLiteral("DX-300"), 8, PrinterKind::DotMode, 200, 20, 256},
        {QStringLiteral("TX-NOIF"), 0, PrinterKind::Mono, 576, 20, 256},
    };
    return models;
}

const CatalogueModel* FindModel(const QString& name)
{
    for (const CatalogueModel& model : JourneyCatalogue())
        if (model.name == name)
            return &model;
    return nullptr;
}

QString JourneyModelFile(const CatalogueModel& model, quint16 tcpPort)
{
    QString text = QStringLiteral("[COMMON]\nDESCRIPTION=Journey\nModelName=%1\nModelType=%2\nRECEIPTWIDTH=%3\n"
                                  "MEMORYSIZE=%4\nDOWNMAX=%5\n[PRINTERLIST]\n")
                       .arg(model.name)
                       .arg(PrinterKindNumber(model.kind))
                       .arg(model.width)
                       .arg(model.memoryKb)
                       .arg(model.downMax);
    int n = 0;
    for (const CatalogueModel& entry : JourneyCatalogue())
        text += QString::asprintf("PRINTER%02d=", ++n) +
                QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                    .arg(entry.name)
                    .arg(entry.interfaceMask, 3, 10, QLatin1Char('0'))
                    .arg(PrinterKindNumber(entry.kind), 3, 10, QLatin1Char('0'))
                    .arg(entry.width)
                    .arg(entry.downMax, 3, 10, QLatin1Char('0'))
                    .arg(entry.memoryKb);
    text += QStringLiteral("[COMMUNICATION]\nINTERFACE=3\nPORTNAME=Ethernet\nIP1=127\nIP2=0\nIP3=0\nIP4=1\nPORT=%1\n")
                .arg(tcpPort);
    return text;
}
