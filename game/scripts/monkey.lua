-- Start-up script of the demo game. For now it only opens the window;
-- press q or close the window to leave.
errorMsg("Demo start-up script ran.")
