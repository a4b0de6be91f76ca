#include "app/banner_animation.h"

namespace ob {

namespace {

BannerPlace Widened(BannerPlace banner, int pageWidth) {
    banner.width += Banner.BannerStep;
    banner.left = (pageWidth - banner.width) / 2; // C++ division rounds toward zero
    return banner;
}

void TurnOutside(int width, int below, int above) {
    if (width < below || width > above)
        Banner.BannerStep = -Banner.BannerStep;
}

} // namespace

BannerPlace StepIntroductionBanner(BannerPlace banner, int pageWidth) {
    banner = Widened(banner, pageWidth);
    TurnOutside(banner.width, 20, pageWidth + 1400);
    return banner;
}

BannerPlace StepConnectBanner(BannerPlace banner, int pageWidth, bool manualChoiceShown) {
    if (manualChoiceShown)
        return {2, pageWidth};
    banner = Widened(banner, pageWidth);
    TurnOutside(banner.width, 120, pageWidth);
    return banner;
}

} // namespace ob
