#pragma once

class QLabel;
class QWidget;

// Fills a template placeholder (a Custom control) with a scrolling picture
// view and returns the label that shows the picture, top left, one screen
// pixel per picture pixel.
QLabel* AddPictureView(QWidget* placeholder);
