#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

// Lets files be dropped on a widget (the logo list): accepts drags that carry
// local files and hands their paths, in the order they were dropped, to a
// function. Owned by the widget it serves.
class CLogoDropTarget : public QObject {
public:
    CLogoDropTarget(QWidget* target, std::function<void(const QStringList&)> onDrop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QStringList&)> m_onDrop;
};
