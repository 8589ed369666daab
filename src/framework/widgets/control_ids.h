#pragma once

#include <QString>
#include <QWidget>

// Every control of a dialog is reachable by its numeric resource id, held as
// the widget's objectName ("1011"). The ids are listed in res/resource_ids.h.

inline void SetControlId(QWidget* control, int id)
{
    control->setObjectName(QString::number(id));
}

// The control with that id among the dialog's descendants, or null.
template <class T = QWidget>
T* FindControl(const QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QString::number(id));
}
