#pragma once
// CLinkLamp: the state of the line to the device, a small lamp in the status bar. Grey before
// any exchange, green while the device answers, amber while its reads go unanswered, red
// while the port is lost. It says its state to assistive technology and in its tooltip, and
// a click (or Space or Enter while it has the focus) emits clicked().

#include <QString>
#include <QWidget>

namespace mp {

enum class LinkState { Idle, Answering, Unanswered, PortLost };

class CLinkLamp : public QWidget {
    Q_OBJECT

public:
    explicit CLinkLamp(QWidget* parent = nullptr);

    // The state and the words for it ("通讯正常", "设备无应答 (连续 3 次)", ...).
    void SetState(LinkState state, const QString& description);
    LinkState State() const { return State_; }
    QColor Colour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The description of a lamp given none.
    static QString IdleText();

    LinkState State_ = LinkState::Idle;
    bool Idle_ = true;  // showing IdleText(), which follows the language
};

}  // namespace mp
