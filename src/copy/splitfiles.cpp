#include "app/frmzintra.h"
#include "copy/progress.h"
#include "platform/files/files.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/window.h"
#include "runtime/errors.h"
#include "runtime/text.h"

// One block plus one byte, as the copy has always had it; the last byte is never filled, and
// the buffer gives it an ordinary page rather than a huge one.
constexpr std::size_t CopyBufferSize = copyplan::BlockSize + 1;

bool frmzintra::splitfiles() {
    using namespace platform;

    Me.setCaption("File Copy in Progress");
    shpout.setVisible(true);
    shpin.setVisible(true);
    // The frame and the empty bar are on the screen before the first read.
    Me.Refresh();

    const std::string source = txtinput.Text();
    std::int64_t length = 0;
    try {
        length = FileLen(source);
    } catch (const RuntimeError&) {
        return false; // nothing to copy: end before anything is opened or created
    }
    copyplan::BarProgress bar(length);

    const IoBuffer CopyBuffer(CopyBufferSize);

    const std::string openName = Trim(source);
    UniqueHandle input(
        CreateFileA(openName, GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!input.valid())
        return false;
    // Linux keeps trailing spaces in names: the text measured and the text opened must name
    // the same file, or the wrong bytes would go out under the right-looking name.
    if (openName != source && !IsSameFile(source, input.get()))
        return false;

    std::uint32_t bytesRead = 0;
    if (!ReadFile(input.get(), CopyBuffer.data(), copyplan::BlockSize, bytesRead))
        return false;

    const std::string destination = copyplan::destinationPath(txtoutput.Text(), source);
    UniqueHandle output(CreateFileA(destination, GENERIC_WRITE, 0, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, input.get()),
                        UniqueHandle::OnDrop::DiscardIncomplete);
    if (!output.valid())
        return false;
    PreallocateFile(output.get(), length);

    // The width is set per block, but painted at display rate; the last one before the box.
    const ui::Paced painting(shpin);
    std::int64_t copied = 0;
    bool moved = false; // the first block is in the buffer; later ones may move in the kernel
    while (static_cast<std::int32_t>(bytesRead) > 0) {
        DoEvents();
        std::uint32_t bytesWritten = 0;
        if (!moved && !WriteFile(output.get(), CopyBuffer.data(), bytesRead, bytesWritten))
            return false;
        copied += bytesRead;
        shpin.setWidth(static_cast<float>(bar.afterBlock(copied)));
        if (!ReadOrMoveBlock(input.get(), output.get(), CopyBuffer.data(), copyplan::BlockSize,
                             bytesRead, moved))
            return false;
    }

    // A source that changed while it was read gave a torn copy.
    const bool whole = IsUnchangedSinceOpen(input.get(), copied);
    input.close();
    if (!whole || !output.close())
        return false;
    shpin.setWidth(copyplan::FullScale);
    return true;
}

void frmzintra::cmdcopy_Click() {
    using platform::MsgBox;
    platform::CopyInProgress running;

    if (txtinput.Text().empty() || txtoutput.Text().empty())
        MsgBox("Please select a file & its destination.");
    else if (splitfiles())
        MsgBox("File Successfully Copied");
    else
        MsgBox("Error in Copying file");

    shpin.setVisible(false);
    shpout.setVisible(false);
    shpin.setWidth(0);
    Me.setCaption("ZINTRA Free Version");
}
