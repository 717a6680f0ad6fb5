// A label or picture that acts when the user clicks it, or presses Enter or Space while it has
// the focus (the banner, the address labels). Screen readers see a link.
#pragma once

#include <QLabel>

namespace tovaro::gui {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);
    LinkLabel(const QString& text, QWidget* parent = nullptr);

    /// Does what a click does.
    void Activate();

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tovaro::gui
