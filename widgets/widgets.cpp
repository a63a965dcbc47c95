// placeholder so the widgets library is never empty
