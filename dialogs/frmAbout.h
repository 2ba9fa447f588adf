// The about box: the program, its maker, the version line and a description.
//
// Built afresh for each opening: Form_Load fills in the texts and shows the box
// modally, so the caller waits until OK unloads it.
#pragma once

#include "Form.h"

class QLabel;
class QPushButton;

namespace quillomatic {

class DragBar;
class Picture;
class Shape;

class frmAbout : public Form {
    Q_OBJECT

public:
    static constexpr const char* kMakerAddress = "http://www.pellweather.example/";

    explicit frmAbout(QWidget* owner);

    // Sets the captions, then shows the box modally; returns once it is closed.
    void Form_Load();

private:
    void cmdOK_Click();

    QPushButton* cmdOK;
    DragBar* tdbTitle;
    QLabel* lblHyperLink;
    QLabel* lblPoweredBy;
    QLabel* Label4;
    Shape* Line1;
    QLabel* Label3;
    QLabel* lblApp;
    QLabel* Label1;
    Picture* Image1;
};

} // namespace quillomatic
