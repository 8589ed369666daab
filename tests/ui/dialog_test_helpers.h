#pragma once

#include "framework/widgets/control_ids.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

// Shared by the dialog tests: controls by id, with a loud stop when a control
// is missing (a test must never go on against the wrong widget).

template <class T = QWidget>
T* Control(const QWidget& dialog, int id)
{
    T* control = FindControl<T>(&dialog, id);
    if (!control) {
        std::fprintf(stderr, "control %d is missing or of another kind\n", id);
        std::abort();
    }
    return control;
}

inline void Click(const QWidget& dialog, int id)
{
    Control<QAbstractButton>(dialog, id)->click();
}

// Runs the dialog modally; act runs once the modal loop is up, as the
// operator would act on it.
inline int RunModal(QDialog& dialog, const std::function<void()>& act)
{
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        act();
    });
    return dialog.exec();
}

// Where a slider's handle is drawn, for a mouse that takes hold of it.
inline QRect SliderHandleRect(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.subControls = QStyle::SC_All;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

// Lists compare as one text, so that a failure shows their entries.
inline std::string Listed(const QStringList& list)
{
    return list.join(QStringLiteral(" | ")).toStdString();
}
