// The picture viewer driven offscreen: fitting and full-size drawing checked on the grabbed
// window, dragging, stepping through a catalogue list, the slide show, single mode, saving,
// the clipboard and damaged pictures.
#include "EditionFixture.h"
#include "FaultFileSystem.h"

#include "common/FileSystem.h"
#include "common/JpegCodec.h"
#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/media/qt/PreviewUnit.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

using namespace quarto;
using namespace quarto::test;

namespace {

const QColor Face(219, 216, 204);

// A picture whose every pixel tells where it is: red x mod 251, green y mod 241, blue the
// block of 251 × 241 it lies in.
TDibPicture Pattern(int width, int height) {
    TDibPicture picture = BlankPicture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &picture.Pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(x % 251);
            p[1] = static_cast<std::uint8_t>(y % 241);
            p[2] = static_cast<std::uint8_t>((x / 251 * 7 + y / 241 * 3) % 256);
        }
    return picture;
}

TDibPicture Solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    TDibPicture picture = BlankPicture(width, height);
    for (std::size_t i = 0; i < picture.Pixels.size(); i += 3)
        picture.Pixels[i] = r, picture.Pixels[i + 1] = g, picture.Pixels[i + 2] = b;
    return picture;
}

QColor ColourOf(const TDibPicture& picture, int x, int y) {
    std::uint8_t rgb[3];
    picture.ColourAt(x, y, rgb);
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QColor Pixel(TPreviewForm& form, int x, int y) {
    return form.grab().toImage().pixelColor(x, y);
}

// A viewer whose picture area is 800 × 400 (800 × 410 in full-size mode).
struct TViewer {
    TPreviewForm Form;
    TViewer() { Form.resize(885, 410); }
};

void Drag(TPreviewForm& form, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, form.mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &press);
    QMouseEvent move(QEvent::MouseMove, to, form.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&form, &move);
}

TEST(PreviewForm, StartsEmptyWithItsControls) {
    TPreviewForm form;
    EXPECT_EQ(form.width(), 728);
    EXPECT_EQ(form.height(), 492);
    EXPECT_EQ(form.minimumHeight(), 150);
    EXPECT_EQ(form.font().pixelSize(), 13);
    EXPECT_EQ(form.Picture.Width, 0);
    EXPECT_FALSE(form.isVisible());
    const struct {
        const char* Name;
        const char* Caption;
        const char* Hint;
    } buttons[] = {{"FlatSpeedButton1", "<<", ""},
                   {"FlatSpeedButton2", ">>", ""},
                   {"FlatSpeedButton3", "100%", "Показать в полном разрешении."},
                   {"FlatSpeedButton4", "Сохранить...", ""},
                   {"FlatSpeedButton5", "В буфер", ""},
                   {"FlatSpeedButton6", "Слайд-шоу", ""}};
    for (const auto& b : buttons) {
        auto* button = form.findChild<QToolButton*>(b.Name);
        ASSERT_NE(button, nullptr) << b.Name;
        EXPECT_EQ(button->text(), Ui(b.Caption));
        EXPECT_EQ(button->toolTip(), Ui(b.Hint));
        EXPECT_EQ(button->size(), QSize(76, 17));
        button->setDown(true);
        EXPECT_EQ(button->grab().toImage().pixelColor(3, 3), QColor(128, 129, 255)) << b.Name;
        button->setDown(false);
    }
    auto* fit = form.findChild<QCheckBox*>("CheckBox1");
    EXPECT_TRUE(fit->isChecked());
    EXPECT_EQ(fit->toolTip(), Ui("Подгонять размеры картинки\nпод размеры окна."));
    auto* interval = form.findChild<QSpinBox*>("FlatSpinEditInteger1");
    EXPECT_EQ(interval->value(), 2);
    EXPECT_EQ(interval->maximum(), 60);
    EXPECT_EQ(interval->minimum(), 0);
    EXPECT_EQ(form.findChild<QTimer*>("Timer1")->interval(), 2000);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_TRUE(form.Memo1->isReadOnly());
    EXPECT_TRUE(form.Memo1->font().bold());
    EXPECT_EQ(form.Panel1->width(), 85);
    // An empty picture only fills the window and does not bring it up.
    form.DrawPicture();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Pixel(form, 400, 100), Face);
}

TEST(PreviewForm, SmallPictureIsEnlargedAndCentred) {
    TViewer v;
    v.Form.Picture = Solid(400, 300, 10, 200, 30);
    v.Form.ShowCatalogue();
    EXPECT_TRUE(v.Form.isVisible());
    EXPECT_EQ(v.Form.ViewBuffer.size(), QSize(533, 400));
    const QImage shot = v.Form.grab().toImage();
    // 533 × 400 drawn 133 pixels right of the 85-pixel column.
    EXPECT_EQ(shot.pixelColor(85 + 132, 200), Face);
    EXPECT_EQ(shot.pixelColor(85 + 133, 200), QColor(10, 200, 30));
    EXPECT_EQ(shot.pixelColor(85 + 133 + 532, 5), QColor(10, 200, 30));
    EXPECT_EQ(shot.pixelColor(85 + 133 + 533, 200), Face);
    EXPECT_TRUE(v.Form.FlatSpeedButton3->isHidden()); // 533 > 410 and 400 > 310
}

// The fitted picture is the bilinear interpolation between pixel centres that common's
// ScaleBilinear makes, up to rounding, reduced and enlarged, 24 and 8 bits.
TEST(PreviewForm, FittedPictureIsBilinear) {
    const auto wave = [](int width, int height, bool grey) {
        TDibPicture picture = BlankPicture(width, height);
        if (grey) {
            picture.BitsPerPixel = 8, picture.Palette = GreyPalette();
            picture.Pixels.resize(static_cast<std::size_t>(width) * height);
        }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto v = [&](int period, int shift) {
                    return static_cast<std::uint8_t>(
                        127 + 120 * std::sin((x * 2 + y * 3 + shift) * 3.14159 / period));
                };
                const std::size_t i = static_cast<std::size_t>(y) * width + x;
                if (grey) {
                    picture.Pixels[i] = v(37, 0);
                } else {
                    picture.Pixels[i * 3] = v(37, 0);
                    picture.Pixels[i * 3 + 1] = v(11, 5);
                    picture.Pixels[i * 3 + 2] = static_cast<std::uint8_t>(x * 255 / width);
                }
            }
        return picture;
    };
    for (const auto& [w, h, grey] :
         {std::tuple{2000, 1500, false}, {400, 300, false}, {1100, 900, true}}) {
        TViewer v;
        v.Form.Picture = wave(w, h, grey);
        v.Form.ShowCatalogue();
        const TFittedPicture fitted = FitPicture(w, h, 800, 400);
        const TDibPicture expected = ScaleBilinear(v.Form.Picture, fitted.Width, fitted.Height);
        const QImage shot = v.Form.grab().toImage();
        int worst = 0;
        for (int y = 0; y < fitted.Height - 30; y += 7) // the status bar covers the bottom
            for (int x = 0; x < fitted.Width; x += 5) {
                const QColor got = shot.pixelColor(85 + fitted.Left + x, fitted.Top + y);
                const QColor want = ColourOf(expected, x, y);
                worst = std::max({worst, std::abs(got.red() - want.red()),
                                  std::abs(got.green() - want.green()),
                                  std::abs(got.blue() - want.blue())});
            }
        EXPECT_LE(worst, 3) << w << "x" << h;
    }
}

TEST(PreviewForm, LargePictureFullSizeAndDragging) {
    TViewer v;
    v.Form.Picture = Pattern(2000, 1500);
    v.Form.ShowCatalogue();
    EXPECT_EQ(v.Form.ViewBuffer.size(), QSize(533, 400));
    EXPECT_FALSE(v.Form.FlatSpeedButton3->isHidden());

    v.Form.FlatSpeedButton3->click();
    EXPECT_TRUE(v.Form.FullSize);
    EXPECT_EQ(v.Form.FlatSpeedButton3->text(), Ui("Обратно"));
    EXPECT_EQ(v.Form.SBh->maximum(), 1200);
    EXPECT_EQ(v.Form.Sbv->maximum(), 1090);
    const QPoint samples[] = {{0, 0}, {1, 0}, {0, 1}, {300, 200}, {700, 380}};
    QImage shot = v.Form.grab().toImage();
    for (const QPoint p : samples)
        EXPECT_EQ(shot.pixelColor(85 + p.x(), p.y()), ColourOf(v.Form.Picture, p.x(), p.y()))
            << p.x() << "," << p.y();

    // Dragged 100 pixels to the left: the part 100 pixels further right.
    Drag(v.Form, {500, 200}, {400, 200});
    EXPECT_EQ(v.Form.SBh->value(), 100);
    EXPECT_EQ(v.Form.Sbv->value(), 0);
    shot = v.Form.grab().toImage();
    for (const QPoint p : samples)
        EXPECT_EQ(shot.pixelColor(85 + p.x(), p.y()), ColourOf(v.Form.Picture, p.x() + 100, p.y()))
            << p.x() << "," << p.y();

    // Past the edges the positions stop at 0 and at the maxima.
    Drag(v.Form, {400, 200}, {900, 300});
    EXPECT_EQ(v.Form.SBh->value(), 0);
    EXPECT_EQ(v.Form.Sbv->value(), 0);
    Drag(v.Form, {2000, 2000}, {0, 0});
    EXPECT_EQ(v.Form.SBh->value(), 1200);
    EXPECT_EQ(v.Form.Sbv->value(), 1090);
    // The right edge; the bottom rows lie under the status bar.
    EXPECT_EQ(Pixel(v.Form, 85 + 799, 379), ColourOf(v.Form.Picture, 1999, 1469));

    // A resize keeps the positions within the new ranges.
    v.Form.resize(1285, 810);
    EXPECT_EQ(v.Form.SBh->value(), 800);
    EXPECT_EQ(v.Form.Sbv->value(), 690);

    // Back to the fitted picture.
    v.Form.FlatSpeedButton3->click();
    EXPECT_FALSE(v.Form.FullSize);
    EXPECT_EQ(v.Form.FlatSpeedButton3->text(), Ui("100%"));
    EXPECT_EQ(v.Form.SBh->value(), 0);
}

TEST(PreviewForm, DragNeedsFullSizeAndTheLeftButtonAlone) {
    TViewer v;
    v.Form.Picture = Pattern(2000, 1500);
    v.Form.ShowCatalogue();
    v.Form.FormMouseDown(500, 200);
    v.Form.FormMouseMove(Qt::LeftButton, Qt::NoModifier, 400, 200); // fitted: nothing
    EXPECT_EQ(v.Form.SBh->value(), 0);
    v.Form.FlatSpeedButton3Click();
    const struct {
        Qt::MouseButtons Buttons;
        Qt::KeyboardModifiers Modifiers;
    } ignored[] = {
        {Qt::RightButton, Qt::NoModifier},   {Qt::LeftButton | Qt::RightButton, Qt::NoModifier},
        {Qt::LeftButton, Qt::ShiftModifier}, {Qt::LeftButton, Qt::ControlModifier},
        {Qt::LeftButton, Qt::AltModifier},   {Qt::NoButton, Qt::NoModifier}};
    for (const auto& c : ignored) {
        v.Form.FormMouseDown(500, 200);
        v.Form.FormMouseMove(c.Buttons, c.Modifiers, 400, 100);
        EXPECT_EQ(v.Form.SBh->value(), 0);
        EXPECT_EQ(v.Form.Sbv->value(), 0);
    }
    v.Form.FormMouseMove(Qt::LeftButton, Qt::NoModifier, 400, 100);
    EXPECT_EQ(v.Form.SBh->value(), 100);
    EXPECT_EQ(v.Form.Sbv->value(), 100);
    EXPECT_EQ(v.Form.DragPoint, QPoint(400, 100));
}

// A catalogue of three entries of different sizes, shown through a counting handler.
struct TCatalogue {
    TViewer V;
    QListWidget ListBox2;
    std::vector<int> Shown;
    std::vector<TDibPicture> Pictures{Pattern(2000, 1500), Pattern(1800, 1200),
                                      Solid(300, 200, 1, 2, 3)};
    TCatalogue() {
        ListBox2.addItems({"one", "two", "three"});
        V.Form.SetCatalogue(&ListBox2, [this] {
            Shown.push_back(ListBox2.currentRow());
            V.Form.Picture = Pictures[static_cast<std::size_t>(ListBox2.currentRow())];
        });
    }
    void Open(int row) {
        ListBox2.setCurrentRow(row);
        V.Form.Picture = Pictures[static_cast<std::size_t>(row)];
        V.Form.ShowCatalogue();
    }
};

TEST(PreviewForm, SteppingStopsAtBothEnds) {
    const struct {
        int Start;
        int Button; // 1: "<<", 2: ">>"
        int Row;
        std::vector<int> Shown;
    } cases[] = {{0, 1, 0, {}}, {0, 2, 1, {1}}, {1, 1, 0, {0}}, {2, 2, 2, {}}, {2, 1, 1, {1}}};
    for (const auto& c : cases) {
        TCatalogue cat;
        cat.Open(c.Start);
        // A picture put in place without drawing shows that the step redraws.
        cat.V.Form.Picture = Solid(100, 100, 9, 9, 9);
        (c.Button == 1 ? cat.V.Form.FlatSpeedButton1 : cat.V.Form.FlatSpeedButton2)->click();
        EXPECT_EQ(cat.ListBox2.currentRow(), c.Row) << c.Start << " " << c.Button;
        EXPECT_EQ(cat.Shown, c.Shown) << c.Start << " " << c.Button;
        const TDibPicture& now = cat.V.Form.Picture;
        const TFittedPicture fitted = FitPicture(now.Width, now.Height, 800, 400);
        EXPECT_EQ(cat.V.Form.ViewBuffer.size(), QSize(fitted.Width, fitted.Height));
    }
}

TEST(PreviewForm, SteppingWithoutCatalogueStaysPut) {
    TViewer v;
    QListWidget list;
    list.addItems({"one", "two"});
    list.setCurrentRow(0);
    int clicks = 0;
    v.Form.SetCatalogue(&list, [&] { ++clicks; });
    v.Form.Picture = Solid(100, 100, 9, 9, 9);
    v.Form.ShowSingle("nothing.png"); // single mode
    v.Form.FlatSpeedButton2Click();
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(clicks, 0);
    TViewer bare; // no list given at all
    bare.Form.Picture = Solid(100, 100, 9, 9, 9);
    bare.Form.ShowCatalogue();
    bare.Form.FlatSpeedButton2Click();
    bare.Form.Timer1Timer();
    EXPECT_TRUE(bare.Form.isVisible());
}

TEST(PreviewForm, AFailingHandlerIsReportedAndTheViewerGoesOn) {
    TCatalogue cat;
    cat.Open(0);
    std::vector<QString> reported;
    MessageBoxHook = [&](const QString&, const QString& text) { reported.push_back(text); };
    bool fail = true;
    cat.V.Form.SetCatalogue(&cat.ListBox2, [&] {
        if (fail)
            throw std::runtime_error("Образ диска повреждён");
        cat.V.Form.Picture = cat.Pictures[static_cast<std::size_t>(cat.ListBox2.currentRow())];
    });
    // The buttons' signals reach the handlers directly, not through the application's event
    // notification: the report comes from the handler's own guard.
    cat.V.Form.FlatSpeedButton2->click();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], QString::fromUtf8("Образ диска повреждён"));
    EXPECT_TRUE(cat.V.Form.isVisible());
    fail = false;
    cat.V.Form.FlatSpeedButton2->click();
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_EQ(cat.ListBox2.currentRow(), 2);
    EXPECT_EQ(cat.V.Form.Picture.Width, 300);
    MessageBoxHook = nullptr;
}

TEST(PreviewForm, FitCheckBoxDecidesFullSizeAfterStep) {
    TCatalogue cat;
    cat.Open(0);
    TPreviewForm& form = cat.V.Form;
    form.FlatSpeedButton3Click();
    Drag(form, {500, 300}, {400, 250});
    ASSERT_EQ(form.SBh->value(), 100);

    form.CheckBox1->setChecked(false);
    form.FlatSpeedButton2->click();
    EXPECT_TRUE(form.FullSize);
    EXPECT_EQ(form.FlatSpeedButton3->text(), Ui("Обратно"));
    EXPECT_EQ(form.SBh->value(), 0);
    EXPECT_EQ(form.Sbv->value(), 0);
    EXPECT_EQ(form.SBh->maximum(), 1000);
    EXPECT_EQ(form.Sbv->maximum(), 790);
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(shot.pixelColor(85, 0), ColourOf(cat.Pictures[1], 0, 0));
    EXPECT_EQ(shot.pixelColor(85 + 400, 300), ColourOf(cat.Pictures[1], 400, 300));

    form.CheckBox1->setChecked(true);
    form.FlatSpeedButton1->click();
    EXPECT_FALSE(form.FullSize);
    EXPECT_EQ(form.FlatSpeedButton3->text(), Ui("100%"));
    EXPECT_EQ(form.ViewBuffer.size(), QSize(533, 400));
}

QColor ButtonFace(QToolButton* button) {
    return button->grab().toImage().pixelColor(3, 3);
}

TEST(PreviewForm, SlideShowPassesTheLastEntryAndStops) {
    TCatalogue cat;
    cat.Open(0);
    TPreviewForm& form = cat.V.Form;
    EXPECT_EQ(ButtonFace(form.FlatSpeedButton6), TPreviewForm::ScrollBarColour());
    form.FlatSpeedButton6->click();
    EXPECT_TRUE(form.SlideShowOn);
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 2000);
    EXPECT_EQ(ButtonFace(form.FlatSpeedButton6), QColor(255, 0, 0));

    for (int i = 0; i < 3; ++i)
        form.Timer1Timer();
    // The second, the third only in passing and the first again, then the second.
    EXPECT_EQ(cat.Shown, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(cat.ListBox2.currentRow(), 1);
    EXPECT_EQ(form.Picture.Width, 1800);

    // Interval 0 freezes the show with the button still red; 5 resumes it every 5 seconds.
    form.FlatSpinEditInteger1->setValue(0);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_TRUE(form.SlideShowOn);
    EXPECT_EQ(ButtonFace(form.FlatSpeedButton6), QColor(255, 0, 0));
    form.FlatSpinEditInteger1->setValue(5);
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 5000);

    // The button keeps the font of its column whatever its colour.
    const auto sameFont = [&] {
        const QFontInfo six(form.FlatSpeedButton6->font()), four(form.FlatSpeedButton4->font());
        return six.family() == four.family() && six.pixelSize() == four.pixelSize();
    };
    EXPECT_TRUE(sameFont());

    // Closing stops it; reopened, the button has the scroll-bar colour again.
    form.close();
    EXPECT_TRUE(sameFont());
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(form.SlideShowOn);
    cat.Open(2);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(ButtonFace(form.FlatSpeedButton6), TPreviewForm::ScrollBarColour());
    EXPECT_FALSE(form.Timer1->isActive());
    // Switched on again, it starts from the entry shown.
    form.FlatSpeedButton6Click();
    form.Timer1Timer();
    EXPECT_EQ(cat.Shown.back(), 0);

    // Escape closes the window as its close box does.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(form.SlideShowOn);
}

TEST(PreviewForm, SingleModeHidesTheNavigation) {
    TTempFolder temp;
    const std::string path = temp.Path() / "Sketch.JPG";
    WriteWholeFile(path, EncodeJpeg(Solid(640, 480, 200, 100, 50), 95));
    TCatalogue cat;
    cat.Open(0);
    cat.V.Form.SetDescription(Ui("Описание"));
    cat.V.Form.setWindowTitle("Orion");
    EXPECT_EQ(cat.V.Form.MemoHeight(), 90);
    EXPECT_EQ(cat.V.Form.Memo1->height(), 90);

    TPreviewForm& form = cat.V.Form;
    form.ShowSingle(path);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), Ui("Иллюстрации"));
    EXPECT_EQ(form.ViewerMode, TViewerMode::Single);
    EXPECT_EQ(form.Picture.Width, 640);
    EXPECT_EQ(form.MemoHeight(), 0);
    EXPECT_TRUE(form.Memo1->toPlainText().isEmpty());
    for (QWidget* w : std::initializer_list<QWidget*>{form.CheckBox1, form.FlatSpeedButton1,
                                                      form.FlatSpeedButton2, form.FlatSpeedButton6,
                                                      form.FlatSpinEditInteger1})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(form.FlatSpeedButton4->isHidden());
    EXPECT_FALSE(form.FlatSpeedButton5->isHidden());

    cat.Open(1);
    EXPECT_EQ(form.ViewerMode, TViewerMode::Catalogue);
    EXPECT_FALSE(form.FlatSpeedButton1->isHidden());
    EXPECT_FALSE(form.FlatSpinEditInteger1->isHidden());
}

TEST(PreviewForm, LoadPictureKeepsThePictureUnlessAPictureDecodes) {
    TTempFolder temp;
    const std::string jpeg = EncodeJpeg(Solid(64, 48, 200, 100, 50), 95);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(32, 16, QImage::Format_RGB32).save(&buffer, "PNG");
    }
    // A GIF of 2 × 1 pixels.
    const std::string gif("GIF89a\x02\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff"
                          ",\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x44\x0a\x00;",
                          35);
    const struct {
        const char* Name;
        std::string Bytes;
        bool Result;
        int Width; // of Picture afterwards: 10 is the one it had
    } cases[] = {
        {"a.jpg", jpeg, true, 64},
        {"b.JpG", jpeg, true, 64},
        {"c.png", jpeg, true, 64}, // by what the file holds
        {"d.jpeg", jpeg, true, 64},
        {"p.PNG", png.toStdString(), true, 32},
        {"q.gif", gif, true, 2},
        {"r.bmp", EncodeBmp(Solid(12, 8, 1, 2, 3)), true, 12},
        {"s.png", "not a picture at all", false, 10},
        {"t.txt", jpeg, true, 10}, // not a picture
        {"e.jpg", "not a picture at all", false, 10},
        {"f.jpg", jpeg.substr(0, jpeg.size() / 3), false, 10},
        {"g.jpg", "", false, 10},
    };
    for (const auto& c : cases) {
        TPreviewForm form;
        form.Picture = Solid(10, 10, 1, 1, 1);
        const std::string path = temp.Path() / c.Name;
        WriteWholeFile(path, c.Bytes);
        EXPECT_EQ(form.LoadPicture(path), c.Result) << c.Name;
        EXPECT_EQ(form.Picture.Width, c.Width) << c.Name;
        EXPECT_TRUE(form.Picture.Valid()) << c.Name;
    }
    TPreviewForm form;
    EXPECT_FALSE(form.LoadPicture(temp.Path() / "missing.jpg"));
    // The path's letter case is folded.
    EXPECT_TRUE(form.LoadPicture(temp.Path() / "A.JPG"));
    EXPECT_EQ(form.Picture.Width, 64);
}

TEST(PreviewForm, SavesBmpAtFullResolution) {
    TTempFolder temp;
    const std::string greyPath = temp.Path() / "grey.jpg";
    TDibPicture grey;
    grey.Width = 70, grey.Height = 30, grey.BitsPerPixel = 8, grey.Palette = GreyPalette();
    for (int i = 0; i < 70 * 30; ++i)
        grey.Pixels.push_back(static_cast<std::uint8_t>(i % 70 * 3));
    WriteWholeFile(greyPath, EncodeJpeg(grey, 95));

    TPreviewForm form;
    form.Picture = Pattern(333, 77);
    ASSERT_TRUE(form.SavePicture(temp.Path() / "colour")); // no extension: ".bmp" added
    const TDibPicture colour = DecodeBmp(ReadWholeFile(temp.Path() / "colour.bmp"));
    EXPECT_EQ(colour.BitsPerPixel, 24);
    EXPECT_EQ(colour.Width, 333);
    EXPECT_EQ(colour.Pixels, form.Picture.Pixels);

    ASSERT_TRUE(form.LoadPicture(greyPath));
    ASSERT_EQ(form.Picture.BitsPerPixel, 8);
    ASSERT_TRUE(form.SavePicture(temp.Path() / "grey.bmp"));
    const TDibPicture back = DecodeBmp(ReadWholeFile(temp.Path() / "grey.bmp"));
    EXPECT_EQ(back.BitsPerPixel, 8);
    EXPECT_EQ(back.Palette, GreyPalette());
    EXPECT_EQ(back.Pixels, form.Picture.Pixels);

    // A target that cannot be made: nothing written, no message.
    EXPECT_FALSE(form.SavePicture(temp.Path() / "no such folder" / "x.bmp"));
    EXPECT_FALSE(Exists(temp.Path() / "no such folder"));
    {
        TFaultFileSystem faults;
        faults.NoSpaceAfter(100);
        TFileSystemScope scope(faults);
        EXPECT_FALSE(form.SavePicture(temp.Path() / "full.bmp"));
    }
    EXPECT_EQ(EntriesBelow(temp.Path()),
              (std::vector<std::string>{"colour.bmp", "grey.bmp", "grey.jpg"}));
    TPreviewForm empty;
    EXPECT_FALSE(empty.SavePicture(temp.Path() / "empty.bmp"));
}

TEST(PreviewForm, SaveButtonRunsTheDialogWithTheWindowHidden) {
    TTempFolder temp;
    TViewer v;
    v.Form.Picture = Pattern(50, 40);
    v.Form.ShowCatalogue();
    const std::string target = temp.Path() / "chosen";
    bool hiddenMeanwhile = false;
    QTimer::singleShot(0, &v.Form, [&] {
        hiddenMeanwhile = !v.Form.isVisible();
        auto* dialog = v.Form.findChild<QFileDialog*>("SaveDialog1");
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->nameFilters().contains(Ui("Формат BMP (*.bmp)")));
        dialog->selectFile(FromUtf8(target));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, reached through QDialog
    });
    v.Form.FlatSpeedButton4->click();
    EXPECT_TRUE(hiddenMeanwhile);
    EXPECT_TRUE(v.Form.isVisible());
    EXPECT_EQ(DecodeBmp(ReadWholeFile(target + ".bmp")).Pixels, v.Form.Picture.Pixels);
}

TEST(PreviewForm, CopiesThePictureToTheClipboard) {
    const TDibPicture pictures[] = {Pattern(321, 123), [] {
                                        TDibPicture grey;
                                        grey.Width = 20, grey.Height = 10, grey.BitsPerPixel = 8;
                                        grey.Palette = GreyPalette();
                                        grey.Pixels.assign(200, 77);
                                        grey.Pixels[15] = 200;
                                        return grey;
                                    }()};
    for (const TDibPicture& picture : pictures) {
        TPreviewForm form;
        form.Picture = picture;
        form.FlatSpeedButton5->click();
        const QImage image = QGuiApplication::clipboard()->image();
        EXPECT_EQ(image.size(), QSize(picture.Width, picture.Height));
        for (const QPoint p : {QPoint(0, 0), QPoint(15, 0), QPoint(19, 9)})
            EXPECT_EQ(image.pixelColor(p), ColourOf(picture, p.x(), p.y()));
    }
}

} // namespace
