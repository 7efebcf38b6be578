// The group dialogs.
