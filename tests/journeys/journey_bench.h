#pragma once

#include "framework/message_box.h"
#include "kinds/printer_kind.h"
#include "sim/virtual_printer.h"
#include "support/temp_dir.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

// One virtual printer of a journey on 127.0.0.1. It keeps its memory in a
// state folder, so that it can be switched off ("not there") and on again
// on the same port with what it held.
class CJourneyPrinter {
public:
    CJourneyPrinter(PrinterKind kind, const QString& stateDir, int printableWidth);
    ~CJourneyPrinter();

    PrinterKind Kind() const { return m_kind; }
    quint16 Port() const { return m_port; }
    CVirtualPrinter& Sim() { return *m_sim; }
    bool IsOn() const { return m_sim->IsRunning(); }
    void SwitchOff();
    void SwitchOn();
    void SetFaults(const SimFaults& faults) { m_sim->SetFaults(faults); }
    // Becomes a printer of that printable width (a restart on the same port,
    // with what it held) when it is not one already.
    void MatchWidth(int printableWidth);
    // Waits (bounded) until the printer has carried out what reached it;
    // false when a connection is still open or waiting at the bound.
    bool Settle() const;
    // Connections closed by the printer's hang-up fault so far.
    int HangUps() const;
    // Waits (bounded) until the printer has hung up again or received
    // `total` bytes more than `bytesBefore`; false at the bound.
    bool AwaitTaken(int hangUpsBefore, qint64 bytesBefore, qint64 total) const;

private:
    PrinterKind m_kind;
    SimOptions m_options;
    std::unique_ptr<CVirtualPrinter> m_sim;
    quint16 m_port = 0;
};

// A message or question the operator saw, with the step it came in.
struct SeenMessage {
    int step = 0;
    MessageRequest request;
    int answer = 0;
};

// Every message of the journey goes through here: OK boxes are
// acknowledged, questions answered as the current step decided.
class CJourneyMessages {
public:
    CJourneyMessages();
    ~CJourneyMessages();
    CJourneyMessages(const CJourneyMessages&) = delete;
    CJourneyMessages& operator=(const CJourneyMessages&) = delete;

    void StartStep(int step, bool answerYes);
    // Of the current step.
    std::vector<SeenMessage> StepMessages() const;
    bool AnsweredYes() const;
    bool AnyQuestion() const;
    static bool IsQuestion(const SeenMessage& message) { return message.request.buttons == MessageButtons::YesNo; }

private:
    MessageHandler m_previous;
    std::vector<SeenMessage> m_seen;
    int m_step = 0;
    bool m_answerYes = false;
};

// The model file of a journey: a catalogue with a model of every kind, a
// narrow impact printer, and a model that names no interface.
struct CatalogueModel {
    QString name;
    int interfaceMask;
    PrinterKind kind;
    int width;
    int downMax;
    int memoryKb;
};
const std::vector<CatalogueModel>& JourneyCatalogue();
const CatalogueModel* FindModel(const QString& name);
QString JourneyModelFile(const CatalogueModel& model, quint16 tcpPort);
