// The live window's SDL2 side, built as the module velorin-sim loads for --window.
#include "sim/live/live_display.hpp"

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>

namespace velorin::sim {

namespace {

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

class SdlDisplay : public LiveDisplay {
public:
    ~SdlDisplay() override
    {
        if (m_texture)
            SDL_DestroyTexture(m_texture);
        if (m_renderer)
            SDL_DestroyRenderer(m_renderer);
        if (m_window)
            SDL_DestroyWindow(m_window);
        if (m_started)
            SDL_Quit();
    }

    // The reason when it cannot; then the display is not usable.
    std::optional<std::string> open(int width, int height, int pictureWidth, int pictureHeight)
    {
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            return failure("cannot start SDL");
        m_started = true;
        if (const auto problem = noDisplay())
            return problem;
        // Pixels stay sharp when the picture is shown larger.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        m_window = SDL_CreateWindow("Velorin - live device", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                    height, 0);
        if (!m_window)
            return failure("cannot open the window");
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer)
            return failure("cannot draw in the window");
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, pictureWidth,
                                      pictureHeight);
        if (!m_texture)
            return failure("cannot make the window's picture");
        return std::nullopt;
    }

    std::vector<LiveInput> poll() override
    {
        std::vector<LiveInput> inputs;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
            case SDL_QUIT:
                inputs.push_back({LiveInput::Kind::Action, 0, 0, LiveAction::Quit});
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
                    inputs.push_back({LiveInput::Kind::Exposed});
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button == SDL_BUTTON_LEFT)
                    inputs.push_back({LiveInput::Kind::Click, event.button.x, event.button.y});
                break;
            case SDL_KEYDOWN:
                if (const auto action = actionOf(event.key.keysym))
                    inputs.push_back({LiveInput::Kind::Action, 0, 0, *action});
                break;
            default:
                break;
            }
        }
        return inputs;
    }

    void show(const std::uint32_t* pixels, int width, int) override
    {
        // 0x00RRGGBB words are SDL's RGB888.
        SDL_UpdateTexture(m_texture, nullptr, pixels, width * 4);
        SDL_RenderClear(m_renderer);
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
        SDL_RenderPresent(m_renderer);
    }

private:
    // With no display server SDL falls back on a driver that shows nothing, and the run would go
    // on unseen for ever. A driver the person asked for by name is theirs to choose.
    static std::optional<std::string> noDisplay()
    {
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        if (asked && *asked)
            return std::nullopt;
        const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
        if (driver != "offscreen" && driver != "dummy")
            return std::nullopt;
        return "no display to show the window on: none is reached through DISPLAY or WAYLAND_DISPLAY, and SDL's \"" +
               driver + "\" driver shows nothing (set SDL_VIDEODRIVER to use it all the same)";
    }

    static std::string failure(const std::string& what) { return what + ": " + SDL_GetError(); }

    bool m_started = false;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

}  // namespace

}  // namespace velorin::sim

extern "C" __attribute__((visibility("default"))) velorin::sim::LiveDisplay*
velorin_open_live_display(int width, int height, int pictureWidth, int pictureHeight, std::string* error)
{
    auto display = std::make_unique<velorin::sim::SdlDisplay>();
    if (auto problem = display->open(width, height, pictureWidth, pictureHeight)) {
        *error = *problem;
        return nullptr;
    }
    return display.release();
}
