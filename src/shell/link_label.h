// A label or picture that acts when the user clicks it (the banner, the address labels).
#pragma once

#include <QLabel>

namespace tovaro::gui {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);
    LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tovaro::gui
