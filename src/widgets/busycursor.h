#pragma once
// Shows the hourglass pointer while it lives (nothing without a widget application).

namespace qm {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_active = false;
};

}  // namespace qm
