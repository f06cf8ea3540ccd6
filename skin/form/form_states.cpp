#include "skin/form/form_states.h"

namespace zaprelay::skin {
namespace {

constexpr std::size_t kTipLength = 63;

std::u16string Tip(const std::u16string& text) {
    return text.substr(0, kTipLength);
}

}  // namespace

void TFormStates::SaveNormalBounds() {
    // While loading, the bounds of the layout are the normal ones; the window is elsewhere.
    if (!m_pending) {
        m_normalBounds = m_host.OwnerBounds();
    }
}

void TFormStates::Maximize() {
    m_host.MarkHotRegionStale();
    if (!m_host.Allow(TFormAction::Maximize)) {
        return;
    }
    if (m_state == kwsMaximized) {
        Restore();
    } else {
        m_previous = m_state;
        if (m_state != kwsRollup && m_state != kwsMinimized) {
            SaveNormalBounds();
        }
        m_state = kwsMaximized;
        m_host.SetFormBounds(m_host.MaximizedRect());
        m_host.RepaintOwner();
        m_host.RedrawFrame();
        m_host.MdiChildStateChanged(true);
    }
    Finish();
}

void TFormStates::Minimize() {
    m_host.MarkHotRegionStale();
    if (!m_host.HasOwnerForm() || m_host.OwnerModal() || !m_host.Allow(TFormAction::Minimize)) {
        return;
    }
    if (m_state == kwsMinimized) {
        Restore();
    } else {
        m_previous = m_state;
        m_state = kwsMinimized;
        if (m_previous != kwsRollup && m_previous != kwsMaximized) {
            SaveNormalBounds();
        }
        m_host.MdiChildStateChanged(false);
        if (!m_host.HasOwnerWindow()) {
            m_host.PostSystemMinimize();
        } else if (m_host.MinimizeApplication()) {
            m_host.MinimizeApp();
        } else {
            m_host.SetFormBounds(m_host.MinimizedRect());
        }
    }
    Finish();
}

void TFormStates::Rollup() {
    m_host.MarkHotRegionStale();
    if (!m_host.Allow(TFormAction::Rollup)) {
        return;
    }
    if (m_state == kwsRollup) {
        Restore();
    } else {
        m_previous = m_state;
        m_state = kwsRollup;
        // Also while loading: a form that starts rolled up is not moved out of sight first.
        if (m_previous != kwsMinimized && m_previous != kwsMaximized) {
            m_normalBounds = m_host.OwnerBounds();
        }
        m_host.SetFormBounds(m_host.RollupRect());
    }
    Finish();
}

void TFormStates::MinToTray() {
    m_host.MarkHotRegionStale();
    if (m_host.OwnerModal() || !m_host.Allow(TFormAction::MinToTray) || !m_host.HasOwnerForm()) {
        return;
    }
    if (m_state == kwsTray) {
        Restore();
    } else {
        m_previous = m_state;
        m_state = kwsTray;
        if (m_previous == kwsNormal) {
            SaveNormalBounds();
        }
        const bool application = m_host.MinimizeApplication();
        std::u16string tip = Tip(application ? m_host.ApplicationTitle() : m_host.OwnerCaption());
        if (application) {
            m_host.MinimizeApp();
        }
        m_host.HideForTray(application);
        m_host.AddTrayIcon(tip);
    }
    Finish();
}

void TFormStates::Restore() {
    m_host.MarkHotRegionStale();
    switch (m_state) {
        case kwsNormal:
            // The form has been moved and sized freely since it last left this state.
            SaveNormalBounds();
            m_host.SetFormBounds(m_normalBounds);
            break;
        case kwsMaximized:
            if (m_previous == kwsMinimized) {
                if (!m_host.MinimizeApplication()) {
                    m_state = kwsNormal;
                    m_host.SetFormBounds(m_normalBounds);
                    Maximize();
                }
            } else if (m_previous == kwsRollup) {
                m_state = kwsNormal;
                m_host.SetFormBounds(m_normalBounds);
                Rollup();
            } else {
                m_previous = kwsMaximized;
                m_state = kwsNormal;
                m_host.SetFormBounds(m_normalBounds);
                if (m_host.ShadowEnabled()) {
                    m_host.RepaintOwner();
                    m_host.RedrawFrame();
                }
                m_host.MdiChildStateChanged(false);
            }
            break;
        case kwsMinimized:
            if (m_previous == kwsMaximized) {
                Maximize();
                m_previous = kwsNormal;
            } else if (m_previous == kwsRollup) {
                Rollup();
                m_previous = kwsNormal;
            } else {
                m_state = kwsNormal;
                m_host.SetFormBounds(m_normalBounds);
            }
            break;
        case kwsRollup: {
            TRect bounds = m_host.OwnerBounds();
            if (m_host.MaximizedRect().Width() == bounds.Width() || m_previous == kwsMaximized) {
                Maximize();
                m_previous = kwsNormal;
            } else {
                m_state = kwsNormal;
                m_normalBounds =
                    m_normalBounds.Offset(bounds.Left - m_normalBounds.Left, bounds.Top - m_normalBounds.Top);
                m_host.SetFormBounds(m_normalBounds);
            }
            break;
        }
        case kwsTray: {
            const TRect keptBounds = m_normalBounds;
            const TVxWindowState keptPrevious = m_previous;
            m_host.ShowFromTray(m_host.MinimizeApplication());
            m_host.RemoveTrayIcon();
            m_normalBounds = keptBounds;
            m_previous = keptPrevious;
            if (m_previous == kwsMaximized || m_previous == kwsRollup) {
                if (m_previous == kwsMaximized) {
                    Maximize();
                } else {
                    Rollup();
                }
                m_normalBounds = keptBounds;
                m_previous = kwsNormal;
            } else {
                m_state = kwsNormal;
                m_host.SetFormBounds(m_normalBounds);
            }
            break;
        }
    }
    Finish();
}

void TFormStates::SetState(TVxWindowState state) {
    if (state != m_state) {
        Apply(state);
    }
}

void TFormStates::Apply(TVxWindowState state) {
    switch (state) {
        case kwsNormal:
            Restore();
            break;
        case kwsMaximized:
            Maximize();
            break;
        case kwsMinimized:
            Minimize();
            break;
        case kwsRollup:
            Rollup();
            break;
        case kwsTray:
            MinToTray();
            break;
    }
}

}  // namespace zaprelay::skin
