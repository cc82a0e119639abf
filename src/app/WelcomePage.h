#pragma once
// Page 0 "Welcome": a background picture designed for 1000 x 590 pixels, drawn centred, with four
// clickable hot spots (New project, Open project, Parameter overview, Help document). On every
// resize the hot spots keep their place on the picture: left = (width - 1000) / 2 + 669 and
// tops = (height - 590) / 2 + 177, + 233, + 286, + 346, rounded to whole pixels.

#include <QPoint>
#include <QWidget>

#include <array>

class QPushButton;

namespace rv8::app {

class TWelcomePage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPictureWidth = 1000;
    static constexpr int kPictureHeight = 590;
    static constexpr int kSpotLeft = 669;
    static constexpr std::array<int, 4> kSpotTops = {177, 233, 286, 346};

    explicit TWelcomePage(QWidget* parent = nullptr);

    // The top-left corner of hot spot i (0..3) for a page of the given size.
    static QPoint HotSpotPosition(int index, int pageWidth, int pageHeight);
    QPushButton* HotSpot(int index) const { return m_spots[static_cast<std::size_t>(index)]; }

signals:
    void newProjectClicked();
    void openProjectClicked();
    void parameterOverviewClicked();
    void helpDocumentClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeSpots();

    std::array<QPushButton*, 4> m_spots {};
};

}  // namespace rv8::app
