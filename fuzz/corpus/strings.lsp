(setq s "He said \"hi\"; (defun no () 1)")
(setq p "C:\\")
(a) ;| block
still ; comment |; here
 |; (b)
x|;y
(defun	f ()	1)
