#include "sim/live/live_window.hpp"

#include "sim/live/live_view.hpp"

#include <SDL.h>

#include <string>

namespace velorin::sim {

namespace {

// How far a step of the device goes while nothing else drives it: about a frame at 60 Hz.
constexpr DeviceTime kFrame = 16;

std::optional<LiveAction> actionOf(const SDL_Keysym& key)
{
    switch (key.sym) {
    case SDLK_ESCAPE:
        return LiveAction::Escape;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return LiveAction::Enter;
    case SDLK_p:
        return LiveAction::TogglePlug;
    case SDLK_PLUS:
    case SDLK_EQUALS:
    case SDLK_KP_PLUS:
        return LiveAction::PercentUp;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        return LiveAction::PercentDown;
    case SDLK_r:
        return LiveAction::Rotate;
    case SDLK_q:
        return LiveAction::Quit;
    default:
        return std::nullopt;
    }
}

std::string sdlError(const std::string& what)
{
    return "--window: " + what + ": " + SDL_GetError();
}

}  // namespace

struct LiveWindow::Impl {
    explicit Impl(Harness& h) : harness(h), view(h.device().options().screenWidth, h.device().options().screenHeight) {}
    ~Impl()
    {
        if (texture)
            SDL_DestroyTexture(texture);
        if (renderer)
            SDL_DestroyRenderer(renderer);
        if (window)
            SDL_DestroyWindow(window);
        SDL_Quit();
    }

    void handle(const SDL_Event& event)
    {
        switch (event.type) {
        case SDL_QUIT:
            apply(harness, LiveAction::Quit);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
                shown = gdi::Surface();
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                const gdi::Surface screen = harness.screen();
                if (const auto point =
                        view.screenPointAt(event.button.x, event.button.y, screen.width(), screen.height()))
                    harness.tap(point->first, point->second);
            }
            break;
        case SDL_KEYDOWN:
            if (const auto action = actionOf(event.key.keysym))
                apply(harness, *action);
            break;
        default:
            break;
        }
    }

    void draw()
    {
        const gdi::Surface picture = view.render(harness.screenAsSeen(), readStatus(harness));
        if (picture == shown)
            return;
        // 0x00RRGGBB words are SDL's RGB888.
        SDL_UpdateTexture(texture, nullptr, picture.pixels().data(), picture.width() * 4);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        shown = picture;
    }

    Harness& harness;
    LiveView view;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    gdi::Surface shown;
};

bool LiveWindow::available()
{
    return true;
}

LiveWindow::LiveWindow(Harness& harness)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        throw LiveWindowError(sdlError("cannot start SDL"));
    m_impl = std::make_unique<Impl>(harness);
    Impl& w = *m_impl;
    // Pixels stay sharp when the picture is shown twice as large.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    w.window = SDL_CreateWindow("Velorin - live device", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                w.view.width() * LiveView::kScale, w.view.height() * LiveView::kScale, 0);
    if (!w.window)
        throw LiveWindowError(sdlError("cannot open the window"));
    w.renderer = SDL_CreateRenderer(w.window, -1, 0);
    if (!w.renderer)
        throw LiveWindowError(sdlError("cannot draw in the window"));
    w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w.view.width(),
                                  w.view.height());
    if (!w.texture)
        throw LiveWindowError(sdlError("cannot make the window's picture"));
}

LiveWindow::~LiveWindow() = default;

void LiveWindow::afterStep()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        m_impl->handle(event);
    m_impl->draw();
}

void LiveWindow::runUntilClosed(std::optional<DeviceTime> until)
{
    Harness& harness = m_impl->harness;
    while (!harness.stopRequested() && (!until || harness.now() < *until))
        harness.runUntil(until ? std::min(*until, harness.now() + kFrame) : harness.now() + kFrame);
}

}  // namespace velorin::sim
