#pragma once

#include "app/FloatingWindow.h"
#include "graphs/ResponseViewImage.h"

#include <memory>

namespace kv {

class CCurveBase;
class ResponsePane;

// A free-floating window with a response view: a pane's frequency view in
// a larger size, or its time view (PIR above the step response).
class CZoomedWindow : public FloatingWindow {
    Q_OBJECT

public:
    CZoomedWindow(std::unique_ptr<CCurveBase> curve, ResponseView view, const QString& title,
                  QWidget* owner);

    // Draws the view afresh: the design or the switches changed.
    void Invalidate();
    ResponsePane& Pane() { return *pane_; }

private:
    ResponsePane* pane_;
};

} // namespace kv
