#pragma once

#include <QDialog>

class QLabel;
class QTimer;
class QWidget;

// AboutDialog: the About window with its credits scrolling upwards.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // `programFolder` says which folder the program works in, and why.
    explicit AboutDialog(const QString &programFolder, QWidget *parent = nullptr);

    // Positions are kept in the window's own units, twips, as the scroller
    // counts them: 15 to a pixel.
    static constexpr int TwipsPerPixel = 15;
    static constexpr int StepTwips = 5;
    static constexpr int ReentryTwips = 2655;

    int scrollTop() const { return m_top; }
    int scrollInnerHeight() const;
    void scrollStep();

private:
    QWidget *m_box = nullptr; // Picture2
    QTimer *m_timer = nullptr; // Timer1
    int m_top = ReentryTwips;
};
