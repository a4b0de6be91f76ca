#pragma once
// The banner that narrows and widens about the page's centre, one step per tick.

namespace ob {

struct BannerState {
    int BannerStep = -20; // width change per tick, shared by both pages, never reset
};

inline BannerState Banner;

struct BannerPlace {
    int left = 0;
    int width = 0;
};

// Introduction page: swings between a sliver and far wider than the page.
BannerPlace StepIntroductionBanner(BannerPlace banner, int pageWidth);

// Connect page: swings about the page width; held at full width once the manual choice shows.
BannerPlace StepConnectBanner(BannerPlace banner, int pageWidth, bool manualChoiceShown);

} // namespace ob
