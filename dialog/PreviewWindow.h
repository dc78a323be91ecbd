#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <vector>

class QCheckBox;
class QLabel;

namespace drovana {

// A window showing a map and its S16 picture side by side, or one of them,
// each under a caption, at 1:1 or fitted to the window. Esc closes it, and it
// deletes itself once closed.
class CPreviewWindow : public QWidget {
    Q_OBJECT

public:
    // `owner` keeps the window above it and closes it with ClosePreviews. An
    // empty path has no pane; an S16 that does not exist shows "no S16 yet".
    CPreviewWindow(QWidget* owner, const std::filesystem::path& map,
                   const std::filesystem::path& s16);

    // The captions, such as "MAP01.SHP: 640 x 480" or "MAP01.s16: no S16 yet";
    // empty for a pane not shown.
    QString MapCaption() const;
    QString S16Caption() const;
    QCheckBox* FitToggle() const { return m_fit; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* MakePane(const QString& caption, const QImage& image, QLabel*& captionLabel);
    void SetFit(bool fit);

    QCheckBox* m_fit = nullptr;
    QLabel* m_mapCaption = nullptr;
    QLabel* m_s16Caption = nullptr;
};

// Opens a preview of the map `map` converted to `target` beside `owner`.
CPreviewWindow* OpenPreview(QWidget* owner, const std::filesystem::path& map,
                            const std::filesystem::path& target);

// Opens a window of its own on one or two pictures, as named from a file
// manager: a map beside its S16, each found beside the other when one is
// named alone, or the one picture.
CPreviewWindow* OpenViewer(const std::vector<std::filesystem::path>& files);

// Closes every preview `owner` opened.
void ClosePreviews(QWidget& owner);

}  // namespace drovana
