#pragma once

#include "framework/widgets/control_ids.h"

#include <QAbstractButton>
#include <QDialog>

struct DialogTemplate;

// The base of every dialog of the program: built from its template (the
// controls exist, with their ids, once the constructor has run), started by
// OnInitDialog, ended by EndDialog, its controls found by id.
//
// When OnInitDialog runs: each time the dialog opens, that is each time a
// hidden dialog is shown by the program (exec(), show(), open()); showings by
// the window system (a restore from the task bar) are not openings. It runs
// before the first paint, so the operator never sees the controls before it
// has set them. exec() runs it before the window appears: a dialog whose
// OnInitDialog returns false never appears, and exec() returns Rejected.
// After show() or open() a refusal ends the dialog as Rejected as soon as
// the event loop runs again (ending it inside the show would be undone by
// the show). So one object can serve several runs, each starting afresh.
//
// User-interface thread only.
class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(const DialogTemplate& layout, QWidget* parent = nullptr);
    ~CDialog() override;

    // Runs OnInitDialog, then the modal loop. On a dialog already open it is
    // the modal loop alone.
    int exec() override;

    // Ends the dialog with the result: closes it, and a modal loop returns
    // result. Every way out (buttons, Escape, the close box) goes through
    // done(), which dialogs override to let go of what a run holds.
    void EndDialog(int result) { done(result); }

    // True while the dialog talks to the printer (a download, a print, a
    // list or delete). Meanwhile Escape and the close box are refused, as
    // the dialog's disabled buttons are: a run ended part-way would leave
    // the printer holding something the operator was not told about. Only
    // done() still ends it, which the program uses when it must end anyway.
    bool IsTalkingToPrinter() const { return m_printerWork > 0; }

    // Escape and the close box; refused while talking to the printer.
    void reject() override;

    // The control with that id, if it is a T; null when the template has no
    // such id or the control is of another kind (both also logged as a
    // warning, since either means code and template disagree).
    template <class T = QWidget>
    T* Control(int id) const
    {
        T* control = FindControl<T>(this, id);
        if (!control)
            ReportMissingControl(id, T::staticMetaObject.className());
        return control;
    }

protected:
    // Marks the dialog as talking to the printer for as long as it lives.
    // Scopes nest; the timer-paced upload uses Begin/EndPrinterWork instead.
    class CPrinterWorkScope {
    public:
        explicit CPrinterWorkScope(CDialog* dialog) : m_dialog(dialog) { m_dialog->BeginPrinterWork(); }
        ~CPrinterWorkScope() { m_dialog->EndPrinterWork(); }
        CPrinterWorkScope(const CPrinterWorkScope&) = delete;
        CPrinterWorkScope& operator=(const CPrinterWorkScope&) = delete;

    private:
        CDialog* m_dialog;
    };
    void BeginPrinterWork() { ++m_printerWork; }
    void EndPrinterWork()
    {
        if (m_printerWork > 0)
            --m_printerWork;
    }

    // Sets the controls up for a run. False refuses to open: the dialog ends
    // as Rejected (the implementation has told the operator why).
    virtual bool OnInitDialog() { return true; }

    // Calls the dialog's handler when the button with that id is clicked
    // (by the operator, or by its keyboard shortcut).
    template <class D>
    void ConnectClicked(int id, void (D::*handler)())
    {
        connect(Control<QAbstractButton>(id), &QAbstractButton::clicked, static_cast<D*>(this), handler);
    }

    void showEvent(QShowEvent* event) override;

private:
    void ReportMissingControl(int id, const char* kind) const;

    // exec() has just run OnInitDialog for the show it is about to make.
    bool m_initialisedForShow = false;
    int m_printerWork = 0;
};
