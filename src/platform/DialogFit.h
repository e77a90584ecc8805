#pragma once

class QWidget;

// A title bar with a close button alone: minimising a modal dialog would hide it while the
// window it blocks stays blocked, and maximising a small form helps no one. Whether the close
// button closes the dialog stays the dialog's own rule.
void useCloseButtonOnly(QWidget &dialog);

// Dialogs placed at fixed positions clip their texts under a larger desktop font. This widens
// and heightens the dialog and all its controls in proportion, never shrinking them, until every
// text fits. Call it once the controls have their texts and geometry.
void growToFitTexts(QWidget &dialog);
