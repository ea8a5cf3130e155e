;; 漢字のコメント
(defun 関数A (引数 / ローカル)
  (setq ローカル 引数))
(defun c:テスト () (princ "テスト"))
