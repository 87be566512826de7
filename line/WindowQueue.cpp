#include "line/WindowQueue.h"

#include <QMetaObject>

namespace mp {

CWindowQueue::CWindowQueue(QObject* context, std::function<void()> showFields)
    : Context_(context), ShowFields_(std::move(showFields)) {}

void CWindowQueue::Show(std::function<void()> change) {
    Post([change = std::move(change), show = ShowFields_] {
        if (change) {
            change();
        }
        if (show) {
            show();
        }
    });
}

void CWindowQueue::Post(std::function<void()> fn) {
    QObject* context = Context_.data();
    if (context == nullptr) {
        return;
    }
    QMetaObject::invokeMethod(context, std::move(fn), Qt::QueuedConnection);
}

}  // namespace mp
