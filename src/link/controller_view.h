#pragma once

// Everything the controller needs of the screen. The main window implements it with Qt;
// tests implement it with a recorder. The interface grows with the windows that answer it.
class ControllerView {
public:
    virtual ~ControllerView() = default;

    // Zero-based positions selected in the Administrator page's continent and region
    // selectors, -1 when nothing is selected.
    virtual int adminContinentSelection() const = 0;
    virtual int adminRegionSelection() const = 0;
};
