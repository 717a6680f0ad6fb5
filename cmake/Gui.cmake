# wizard comes later
