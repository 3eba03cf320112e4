def window_fit_layout(window):
    return None
