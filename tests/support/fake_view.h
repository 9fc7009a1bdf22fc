#pragma once

#include "link/controller_view.h"

// A view with nothing on screen: the selector positions are whatever a test sets.
class FakeView : public ControllerView {
public:
    int adminContinentSelection() const override { return continentSelection; }
    int adminRegionSelection() const override { return regionSelection; }

    int continentSelection = -1;
    int regionSelection = -1;
};
