#include "framework/widgets/picture_view.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

QLabel* AddPictureView(QWidget* placeholder)
{
    auto* layout = new QVBoxLayout(placeholder);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(placeholder);
    auto* label = new QLabel(scroll);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setWidget(label);
    scroll->setWidgetResizable(true);
    scroll->setBackgroundRole(QPalette::Dark);
    layout->addWidget(scroll);
    return label;
}
